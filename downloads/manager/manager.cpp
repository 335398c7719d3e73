// The manager thread and its tick: polls the running HTTP jobs, moves jobs
// from status to status and starts new work within the limits.
#include "manager.h"

#include <algorithm>

#include "SolvikaUtils.h"
#include "file_io.h"
#include "job/job_store.h"

namespace svdnm {

namespace {

// Installed jobs are kept in the list for the interface until there are more
// than kMaxInstalledKept; then the oldest go down to kInstalledKeptAfterCleanup.
const size_t kMaxInstalledKept = 35;
const size_t kInstalledKeptAfterCleanup = 30;

std::string SettingsFile() { return sv::ProgramFolder() + "SolvikaLC.ini"; }

void FreeJobs(Manager& m) {
  for (JobRecord* job : m.Jobs) delete job;
  m.Jobs.clear();
}

void Shutdown(Manager& m) {
  // The installation thread takes the lock for its messages: wait for it
  // without holding the lock.
  if (m.Install) FinishInstall(m);
  sv::Lock hold(ManagerLock());
  if (m.InfoWork) StopWork(m, m.InfoWork);
  for (JobRecord* job : m.Jobs) SaveJob(*job);
  CleanupFinished(m);
  while (!m.Works.empty()) StopWork(m, m.Works.front());
  FreeJobs(m);
  m.Enabled = false;
}

}  // namespace

Manager& State() {
  static Manager m;
  return m;
}

// Made on first use (thread-safe) and kept until the library unloads, so
// exports may lock it whether the manager thread runs or not.
sv::CriticalSection& ManagerLock() {
  static sv::CriticalSection lock;
  return lock;
}

void AddError(Manager& m, const std::string& message) {
  SYSTEMTIME t;
  GetLocalTime(&t);
  char stamp[32];
  snprintf(stamp, sizeof stamp, "[%2d:%2d:%2d] ", t.wHour, t.wMinute, t.wSecond);
  m.ErrorLog = stamp + message + "\r" + m.ErrorLog;
}

void SortJobs(Manager& m) {
  std::stable_sort(m.Jobs.begin(), m.Jobs.end(), [](const JobRecord* a, const JobRecord* b) { return a->Pos < b->Pos; });
}

void SortWorks(Manager& m) {
  std::stable_sort(m.Works.begin(), m.Works.end(),
                   [](const Work* a, const Work* b) { return a->Job->Pos < b->Job->Pos; });
}

JobRecord* FindJob(Manager& m, uint32_t code) {
  for (JobRecord* job : m.Jobs)
    if (job->Code == code) return job;
  return nullptr;
}

void CleanupFinished(Manager& m) {
  size_t finished =
      std::count_if(m.Jobs.begin(), m.Jobs.end(), [](const JobRecord* j) { return j->Status == SVDNM_INSTALLED; });
  if (finished <= kMaxInstalledKept) return;
  for (JobRecord* job : m.Jobs) {
    if (finished <= kInstalledKeptAfterCleanup) break;
    if (job->Status != SVDNM_INSTALLED) continue;
    job->Status = SVDNM_DELETED;
    SaveJob(*job);
    finished--;
  }
}

void SetThreadsCount(Manager& m, int32_t value) {
  m.ThreadsCount = value;
  SetCustomIniInt("SVDNM", "ThreadsCount", value, SettingsFile().c_str());
}

void SetThreadsSleep(Manager& m, int32_t value) {
  m.ThreadsSleep = value;
  for (Work* w : m.Works)
    if (w->Phase == kPhaseDownload) SVNetChangeSleep(&w->Net, (uint16_t)value);
  SetCustomIniInt("SVDNM", "ThreadsSleep", value, SettingsFile().c_str());
}

void Tick(Manager& m) {
  sv::Lock hold(ManagerLock());
  const bool infoRunning = m.InfoWork != nullptr;
  if (infoRunning) CheckInfoQuery(m);
  const bool installRunning = m.Install != nullptr;
  if (installRunning) CheckInstall(m);

  // Works are sorted by Pos, so a lower limit or a stopped queue pauses the
  // later jobs first.
  int32_t counter = 1;
  std::vector<Work*> works = m.Works;
  for (Work* w : works) {
    if (std::find(m.Works.begin(), m.Works.end(), w) == m.Works.end()) continue;
    if (m.Enabled && counter <= m.ThreadsCount && w->Job->Status != SVDNM_DELETED) {
      AdvanceTransfer(m, w);
      counter++;
    } else {
      StopWork(m, w);
    }
  }

  bool infoStarted = false, installStarted = false;
  for (size_t i = 0; i < m.Jobs.size(); i++) {
    JobRecord* job = m.Jobs[i];
    switch (job->Status) {
      case SVDNM_NEW:
        if (!infoRunning && !infoStarted) {
          StartInfoQuery(m, job);
          infoStarted = m.InfoWork != nullptr;
        }
        break;
      case SVDNM_READY:
      case SVDNM_PAUSED:
        if (m.Enabled && (int32_t)m.Works.size() < m.ThreadsCount) StartTransfer(m, job);
        break;
      case SVDNM_TRANSFERRED:
        if (!installRunning && !installStarted && !m.Install) {
          StartInstall(m, job);
          installStarted = true;
        }
        break;
      case SVDNM_DELETED: {
        // A job under installation is removed once its thread has ended.
        if (m.Install && m.Install->Job == job) break;
        if (m.InfoWork && m.InfoWork->Job == job) StopWork(m, m.InfoWork);
        if (Work* w = WorkOf(m, job)) StopWork(m, w);
        m.Jobs.erase(m.Jobs.begin() + i);
        i--;
        uint32_t code = job->Code;
        delete job;
        DeleteJobFiles(HexName(code), false);
        break;
      }
    }
  }

  if (!infoRunning && !infoStarted && !installRunning && !installStarted && m.Works.empty()) m.Enabled = false;
}

DWORD WINAPI ManagerThread(void* started) {
  Manager& m = State();
  {
    sv::Lock hold(ManagerLock());
    EnsureJobFolder();
    FreeJobs(m);
    m.Enabled = false;
    m.Stopping = false;
    m.InfoWork = nullptr;
    m.Install = nullptr;
    m.Works.clear();
    m.ErrorLog.clear();
    std::string ini = SettingsFile();
    int32_t threads = GetCustomIniInt("SVDNM", "ThreadsCount", ini.c_str(), kDefaultThreads);
    int32_t sleep = GetCustomIniInt("SVDNM", "ThreadsSleep", ini.c_str(), 0);
    m.Jobs = LoadJobs();
    SortJobs(m);
    SetThreadsCount(m, threads);
    SetThreadsSleep(m, sleep);
  }
  SetEvent((HANDLE)started);
  while (!m.Stopping) {
    Tick(m);
    if (!m.Stopping) m.Wake.Wait(kTickMs);
  }
  Shutdown(m);
  return 0;
}

}  // namespace svdnm
