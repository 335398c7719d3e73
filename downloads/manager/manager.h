// The download manager: one state record per process, the manager thread
// with its 250 ms tick, the transfers it drives and the installation thread.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "SolvikaDNM.h"
#include "SolvikaNet.h"
#include "job/job_record.h"
#include "win_handles.h"

namespace svdnm {

// Parameters of one HTTP request, turned into a TSVNetParams when it runs.
struct NetCall {
  uint8_t method = 0;
  uint8_t hostMode = 0;
  bool autoExtract = false;
  bool resume = false;
  bool resetHost = false;
  bool logReply = false;
  int32_t timeout = 0;
  uint16_t pause = 0;
  std::string path, host, files, localDir, tag;
};

// The steps of a transfer, in order.
enum WorkPhase : uint8_t {
  kPhaseCheck = 0,       // HEAD of the files: still the ones the query saw?
  kPhaseResumeTest = 1,  // does the server take a range request?
  kPhaseDownload = 2,
  kPhaseAfter = 3,       // the job's after-request, if it has one
};

// One HTTP job driven for one download job.
struct Work {
  uint8_t phase = kPhaseCheck;
  JobRecord* job = nullptr;
  void* net = nullptr;
  NetCall params;
  uint32_t fileBase = 0;
  uint32_t savedPos = 0;
  uint32_t speedBytes = 0;
  uint32_t speedTick = 0;
};

struct Manager;

// Transfers at once unless SolvikaLC.ini says otherwise.
const int32_t kDefaultThreads = 5;
// Time between two ticks of the manager thread: the longest wait. While an
// HTTP job or the installation runs, the thread looks every kStepPollMs
// whether it has ended and then ticks at once.
const DWORD kTickMs = 250;
const DWORD kStepPollMs = 10;

struct InstallRecord {
  sv::Thread thread;
  volatile bool cancel = false;
  JobRecord* job = nullptr;
  Manager* owner = nullptr;
  std::string codeHex;
  std::string sourceDir;
  std::string targetDir;
};

struct Manager {
  bool enabled = false;
  volatile bool stopping = false;
  sv::Event wake;  // set by the stop and by new work, so the thread need not sleep out its tick
  int32_t threadsCount = kDefaultThreads;
  int32_t threadsSleep = 0;
  std::vector<JobRecord*> jobs;  // sorted by pos
  std::vector<Work*> works;      // running transfers, sorted by their job's pos
  Work* infoWork = nullptr;
  InstallRecord* install = nullptr;
  std::string errorLog;  // newest first
};

// The process's manager and its re-entrant lock, which guards the manager
// and every job record; hold it with sv::Lock hold(ManagerLock()). The lock
// exists from library load to unload.
Manager& State();
sv::CriticalSection& ManagerLock();

// ---- manager.cpp ----
DWORD WINAPI ManagerThread(void* started);  // sets the event once exports are safe
void Tick(Manager& m);
void AddError(Manager& m, const std::string& message);
void SortJobs(Manager& m);
void SortWorks(Manager& m);
JobRecord* FindJob(Manager& m, uint32_t code);
void CleanupFinished(Manager& m);
void SetThreadsCount(Manager& m, int32_t value);
void SetThreadsSleep(Manager& m, int32_t value);

// ---- notify.cpp ----
// For update-package jobs: the "PatchKeeper.upd" mark and the messages to
// the application's main window.
void Notify(const JobRecord& job);

// ---- transfer.cpp ----
bool RunNet(void** net, const NetCall& call);
void StartInfoQuery(Manager& m, JobRecord* job);
void CheckInfoQuery(Manager& m);
void StartTransfer(Manager& m, JobRecord* job);
void AdvanceTransfer(Manager& m, Work* work);
// True when an HTTP job of the manager has succeeded or the installation
// has ended, so that the next step is due without waiting out the tick.
bool StepEnded(Manager& m);
// True while an HTTP job of the manager or the installation still runs: only
// then is it worth looking before the tick whether it has ended.
bool StepRunning(Manager& m);
void StopWork(Manager& m, Work* work);
Work* WorkOf(Manager& m, const JobRecord* job);

// ---- install.cpp ----
void StartInstall(Manager& m, JobRecord* job);
void CheckInstall(Manager& m);
void FinishInstall(Manager& m);

}  // namespace svdnm
