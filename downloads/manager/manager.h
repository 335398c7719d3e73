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
  uint8_t Method = 0;
  uint8_t HostMode = 0;
  bool AutoExtract = false;
  bool Resume = false;
  bool ResetHost = false;
  bool LogReply = false;
  int32_t Timeout = 0;
  uint16_t Pause = 0;
  std::string Path, Host, Files, LocalDir, Tag;
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
  uint8_t Phase = kPhaseCheck;
  JobRecord* Job = nullptr;
  void* Net = nullptr;
  NetCall Params;
  uint32_t FileBase = 0;
  uint32_t SavedPos = 0;
  uint32_t SpeedBytes = 0;
  uint32_t SpeedTick = 0;
};

struct Manager;

// Transfers at once unless SolvikaLC.ini says otherwise.
const int32_t kDefaultThreads = 5;
// Time between two ticks of the manager thread.
const DWORD kTickMs = 250;

struct InstallRecord {
  sv::Thread Thread;
  volatile bool Cancel = false;
  JobRecord* Job = nullptr;
  Manager* Owner = nullptr;
  std::string CodeHex;
  std::string SourceDir;
  std::string TargetDir;
};

struct Manager {
  bool Enabled = false;
  volatile bool Stopping = false;
  sv::Event Wake;  // set by the stop, so the thread need not sleep out its tick
  int32_t ThreadsCount = kDefaultThreads;
  int32_t ThreadsSleep = 0;
  std::vector<JobRecord*> Jobs;  // sorted by Pos
  std::vector<Work*> Works;      // running transfers, sorted by their job's Pos
  Work* InfoWork = nullptr;
  InstallRecord* Install = nullptr;
  std::string ErrorLog;  // newest first
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
void StopWork(Manager& m, Work* work);
Work* WorkOf(Manager& m, const JobRecord* job);

// ---- install.cpp ----
void StartInstall(Manager& m, JobRecord* job);
void CheckInstall(Manager& m);
void FinishInstall(Manager& m);

}  // namespace svdnm
