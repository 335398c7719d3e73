// The manager thread and its tick: polls the running HTTP jobs, moves jobs
// from status to status and starts new work within the limits.
#include "manager.h"

#include <algorithm>

#include "SolvikaUtils.h"
#include "job/job_store.h"

namespace svdnm {

namespace {

// Exists from library load to unload, so exports may lock it whether the
// manager thread runs or not.
CRITICAL_SECTION& LockObject() {
  static CRITICAL_SECTION cs = [] {
    CRITICAL_SECTION c;
    InitializeCriticalSection(&c);
    return c;
  }();
  return cs;
}

std::string SettingsFile() { return ProgramFolder() + "SolvikaLC.ini"; }

void FreeJobs(Manager& m) {
  for (JobRecord* job : m.Jobs) delete job;
  m.Jobs.clear();
}

void Shutdown(Manager& m) {
  // The installation thread takes the lock for its messages: wait for it
  // without holding the lock.
  if (m.Install) FinishInstall(m);
  ManagerLock hold;
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

void LockManager() { EnterCriticalSection(&LockObject()); }
void UnlockManager() { LeaveCriticalSection(&LockObject()); }

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
  size_t finished = std::count_if(m.Jobs.begin(), m.Jobs.end(), [](const JobRecord* j) { return j->Status == 9; });
  if (finished <= 35) return;
  for (JobRecord* job : m.Jobs) {
    if (finished <= 30) break;
    if (job->Status != 9) continue;
    job->Status = 12;
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
    if (w->Phase == 2) SVNetChangeSleep(&w->Net, (uint16_t)value);
  SetCustomIniInt("SVDNM", "ThreadsSleep", value, SettingsFile().c_str());
}

void Tick(Manager& m) {
  ManagerLock hold;
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
    if (m.Enabled && counter <= m.ThreadsCount && w->Job->Status != 12) {
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
      case 0:
        if (!infoRunning && !infoStarted) {
          StartInfoQuery(m, job);
          infoStarted = m.InfoWork != nullptr;
        }
        break;
      case 3:
      case 5:
        if (m.Enabled && (int32_t)m.Works.size() < m.ThreadsCount) StartTransfer(m, job);
        break;
      case 6:
        if (!installRunning && !installStarted && !m.Install) {
          StartInstall(m, job);
          installStarted = true;
        }
        break;
      case 12: {
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
    ManagerLock hold;
    EnsureJobFolder();
    FreeJobs(m);
    m.Enabled = false;
    m.Stopping = false;
    m.InfoWork = nullptr;
    m.Install = nullptr;
    m.Works.clear();
    m.ErrorLog.clear();
    std::string ini = SettingsFile();
    int32_t threads = GetCustomIniInt("SVDNM", "ThreadsCount", ini.c_str(), 5);
    int32_t sleep = GetCustomIniInt("SVDNM", "ThreadsSleep", ini.c_str(), 0);
    m.Jobs = LoadJobs();
    SortJobs(m);
    SetThreadsCount(m, threads);
    SetThreadsSleep(m, sleep);
  }
  SetEvent((HANDLE)started);
  while (!m.Stopping) {
    Tick(m);
    if (!m.Stopping) WaitForSingleObject(m.Wake, 250);
  }
  Shutdown(m);
  return 0;
}

}  // namespace svdnm
