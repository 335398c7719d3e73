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
  for (JobRecord* job : m.jobs) delete job;
  m.jobs.clear();
}

void Shutdown(Manager& m) {
  // The installation thread takes the lock for its messages: wait for it
  // without holding the lock.
  if (m.install) FinishInstall(m);
  sv::Lock hold(ManagerLock());
  if (m.infoWork) StopWork(m, m.infoWork);
  for (JobRecord* job : m.jobs) SaveJob(*job);
  CleanupFinished(m);
  while (!m.works.empty()) StopWork(m, m.works.front());
  FreeJobs(m);
  m.enabled = false;
}

// Waits until the next tick is due: kTickMs after the last one, or as soon
// as a step in flight has ended, a stop is asked or new work arrives.
void WaitForTick(Manager& m) {
  const DWORD start = GetTickCount();
  for (;;) {
    bool inFlight;
    {
      sv::Lock hold(ManagerLock());
      inFlight = StepRunning(m);
    }
    const DWORD elapsed = GetTickCount() - start;
    if (elapsed >= kTickMs) return;
    const DWORD left = kTickMs - elapsed;
    if (m.wake.Wait(inFlight && left > kStepPollMs ? kStepPollMs : left)) return;
    if (!inFlight) continue;
    sv::Lock hold(ManagerLock());
    if (StepEnded(m)) return;  // else a failure, seen at the tick
  }
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
  m.errorLog = stamp + message + "\r" + m.errorLog;
}

void SortJobs(Manager& m) {
  std::stable_sort(m.jobs.begin(), m.jobs.end(),
                   [](const JobRecord* a, const JobRecord* b) { return a->pos < b->pos; });
}

void SortWorks(Manager& m) {
  std::stable_sort(m.works.begin(), m.works.end(),
                   [](const Work* a, const Work* b) { return a->job->pos < b->job->pos; });
}

JobRecord* FindJob(Manager& m, uint32_t code) {
  for (JobRecord* job : m.jobs)
    if (job->code == code) return job;
  return nullptr;
}

void CleanupFinished(Manager& m) {
  size_t finished =
      std::count_if(m.jobs.begin(), m.jobs.end(), [](const JobRecord* j) { return j->status == SVDNM_INSTALLED; });
  if (finished <= kMaxInstalledKept) return;
  for (JobRecord* job : m.jobs) {
    if (finished <= kInstalledKeptAfterCleanup) break;
    if (job->status != SVDNM_INSTALLED) continue;
    job->status = SVDNM_DELETED;
    SaveJob(*job);
    finished--;
  }
}

void SetThreadsCount(Manager& m, int32_t value) {
  m.threadsCount = value;
  SetCustomIniInt("SVDNM", "ThreadsCount", value, SettingsFile().c_str());
}

void SetThreadsSleep(Manager& m, int32_t value) {
  m.threadsSleep = value;
  for (Work* w : m.works)
    if (w->phase == kPhaseDownload) SVNetChangeSleep(&w->net, (uint16_t)value);
  SetCustomIniInt("SVDNM", "ThreadsSleep", value, SettingsFile().c_str());
}

void Tick(Manager& m) {
  sv::Lock hold(ManagerLock());
  const bool infoRunning = m.infoWork != nullptr;
  if (infoRunning) CheckInfoQuery(m);
  const bool installRunning = m.install != nullptr;
  if (installRunning) CheckInstall(m);

  // Works are sorted by Pos, so a lower limit or a stopped queue pauses the
  // later jobs first.
  int32_t counter = 1;
  std::vector<Work*> works = m.works;
  for (Work* w : works) {
    if (std::find(m.works.begin(), m.works.end(), w) == m.works.end()) continue;
    if (m.enabled && counter <= m.threadsCount && w->job->status != SVDNM_DELETED) {
      AdvanceTransfer(m, w);
      counter++;
    } else {
      StopWork(m, w);
    }
  }

  bool infoStarted = false, installStarted = false;
  for (size_t i = 0; i < m.jobs.size(); i++) {
    JobRecord* job = m.jobs[i];
    switch (job->status) {
      case SVDNM_NEW:
        if (!infoRunning && !infoStarted) {
          StartInfoQuery(m, job);
          infoStarted = m.infoWork != nullptr;
        }
        break;
      case SVDNM_READY:
      case SVDNM_PAUSED:
        if (m.enabled && (int32_t)m.works.size() < m.threadsCount) StartTransfer(m, job);
        break;
      case SVDNM_TRANSFERRED:
        if (!installRunning && !installStarted && !m.install) {
          StartInstall(m, job);
          installStarted = true;
        }
        break;
      case SVDNM_DELETED: {
        // A job under installation is removed once its thread has ended.
        if (m.install && m.install->job == job) break;
        if (m.infoWork && m.infoWork->job == job) StopWork(m, m.infoWork);
        if (Work* w = WorkOf(m, job)) StopWork(m, w);
        m.jobs.erase(m.jobs.begin() + i);
        i--;
        uint32_t code = job->code;
        delete job;
        DeleteJobFiles(HexName(code), false);
        break;
      }
    }
  }

  if (!infoRunning && !infoStarted && !installRunning && !installStarted && m.works.empty()) m.enabled = false;
}

DWORD WINAPI ManagerThread(void* started) {
  Manager& m = State();
  {
    sv::Lock hold(ManagerLock());
    EnsureJobFolder();
    FreeJobs(m);
    m.enabled = false;
    m.stopping = false;
    m.infoWork = nullptr;
    m.install = nullptr;
    m.works.clear();
    m.errorLog.clear();
    std::string ini = SettingsFile();
    int32_t threads = GetCustomIniInt("SVDNM", "ThreadsCount", ini.c_str(), kDefaultThreads);
    int32_t sleep = GetCustomIniInt("SVDNM", "ThreadsSleep", ini.c_str(), 0);
    m.jobs = LoadJobs();
    SortJobs(m);
    SetThreadsCount(m, threads);
    SetThreadsSleep(m, sleep);
  }
  SetEvent((HANDLE)started);
  while (!m.stopping) {
    Tick(m);
    if (!m.stopping) WaitForTick(m);
  }
  Shutdown(m);
  return 0;
}

}  // namespace svdnm
