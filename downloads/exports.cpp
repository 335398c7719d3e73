// Exports of SolvikaDNM.dll. Every export that reads or changes jobs holds
// the manager's lock; none waits for a transfer.
#include <windows.h>

#include "SolvikaDNM.h"
#include "SolvikaUtils.h"
#include "file_io.h"
#include "guard.h"
#include "job/job_store.h"
#include "job/job_text.h"
#include "manager/manager.h"
#include "svstring.h"
#include "wide.h"

using namespace svdnm;

namespace {

sv::Thread g_thread;  // the manager thread while it runs

// What SVDNMCreateDownload puts into the request it makes from a URL.
const char kUrlScheme[] = "HTTP://";
const size_t kUrlSchemeLength = sizeof(kUrlScheme) - 1;
const int32_t kUrlTimeoutMs = 60000;
const char kUrlTag[] = "SVDM 114";

std::string Text(const char* s) { return std::string(sv::Text(s)); }

Request ToRequest(const TSVNetParams& p) {
  Request r;
  r.size = p.Size;
  r.method = p.Method;
  r.hostMode = p.HostMode;
  r.autoExtract = p.AutoExtract != 0;
  r.resume = p.Resume != 0;
  r.logReply = p.LogReply != 0;
  r.timeout = p.Timeout;
  r.path = sv::Copy(p.Path);
  r.host = sv::Copy(p.Host);
  r.files = sv::Copy(p.Files);
  r.localDir = sv::Copy(p.LocalDir);
  r.tag = sv::Copy(p.Tag);
  return r;
}

// The job file keeps one value per line: a value with a line feed would read
// back as something else.
bool HasLineBreak(const std::string& s) { return s.find('\n') != std::string::npos; }

bool Storable(const Request& r) {
  for (const std::string* s : {&r.path, &r.host, &r.files, &r.localDir, &r.tag})
    if (HasLineBreak(*s)) return false;
  return true;
}

bool TargetFolderExists(const std::string& folder) {
  if (folder.empty()) return false;
  if (folder[0] == ':') return sv::FolderExists(sv::ProgramFolder() + folder.substr(1));
  return sv::FolderExists(folder);
}

bool Acceptable(const TSVNetParams* download, const TSVNetParams* after, const std::string& title,
                const std::string& iparam) {
  if (!download || download->Size != (int32_t)sizeof(TSVNetParams) || download->Method != SVNET_GET ||
      download->FormStream)
    return false;
  if (!TargetFolderExists(sv::Copy(download->LocalDir)) || title.empty()) return false;
  if (after) {
    if (after->Size != (int32_t)sizeof(TSVNetParams) || after->FormStream || sv::Length(after->LocalDir) != 0) return false;
    if (after->Method != SVNET_GET && after->Method != SVNET_POST && after->Method != SVNET_POSTORGET) return false;
    if (!Storable(ToRequest(*after))) return false;
  }
  return !HasLineBreak(title) && !HasLineBreak(iparam) && Storable(ToRequest(*download));
}

uint32_t CreateJob(const TSVNetParams* download, const TSVNetParams* after, const std::string& title, uint8_t itype,
                   const std::string& iparam) {
  if (!Acceptable(download, after, title, iparam)) return kRefusedJobCode;
  EnsureJobFolder();
  uint32_t code = AllocateCode();
  std::string folder = DownloadFolder(code), file = JobFilePath(code);
  sv::CreateFolderTree(folder);
  {
    // An empty job file reserves the code until the first save fills it.
    sv::Handle created(CreateFileW(sv::Wide(file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
  }
  if (!sv::FileExists(file) || !sv::FolderExists(folder)) return kFailedJobCode;
  auto* job = new JobRecord();
  job->title = title;
  job->code = job->pos = code;
  job->status = SVDNM_NEW;
  job->download = ToRequest(*download);
  if (after) job->ps = ToRequest(*after);
  job->iType = itype;
  job->iParam = iparam;
  SaveJob(*job);
  sv::Lock hold(ManagerLock());
  Manager& m = State();
  if (FindJob(m, code)) {  // the starting manager already read it from disk
    delete job;
  } else {
    m.jobs.push_back(job);
    SortJobs(m);
  }
  if (m.wake) m.wake.Set();  // the manager takes the new job up at once
  return code;
}

void MoveJob(Manager& m, uint32_t code, int direction) {
  for (size_t i = 0; i < m.jobs.size(); i++) {
    if (m.jobs[i]->code != code) continue;
    size_t other = i + direction;
    if (other >= m.jobs.size()) return;  // also wraps below 0
    std::swap(m.jobs[i]->pos, m.jobs[other]->pos);
    std::swap(m.jobs[i], m.jobs[other]);
    SaveJob(*m.jobs[i]);
    SaveJob(*m.jobs[other]);
    SortWorks(m);
    return;
  }
}

void MarkDeleted(JobRecord* job) {
  job->status = SVDNM_DELETED;
  Notify(*job);
  SaveJob(*job);
}

}  // namespace

SVDNM_API void SVAPI SolvikaDNMStart(void) {
  sv::GuardVoid([] {
    if (g_thread) return;
    Manager& m = State();
    m.stopping = false;
    if (!m.wake) m.wake = sv::Event::Create(false, false);
    m.wake.Clear();
    sv::Event started = sv::Event::Create(true, false);
    g_thread = sv::Thread::Start(ManagerThread, started.Get());
    // Return only once the jobs are loaded and the exports are safe to use.
    if (g_thread) started.Wait(INFINITE);
    DebugWrite("=== Start SVDNM");
  });
}

SVDNM_API void SVAPI SolvikaDNMStop(void) {
  sv::GuardVoid([] {
    if (!g_thread) return;
    State().stopping = true;
    State().wake.Set();
    g_thread.Wait(INFINITE);
    g_thread.Reset();
    DebugWrite("=== Stop SVDNM");
  });
}

SVDNM_API uint32_t SVAPI SVDNMCreateJob(const TSVNetParams* download, const TSVNetParams* after, const char* title,
                                        uint8_t itype, const char* iparam) {
  return sv::Guard<uint32_t>(kFailedJobCode, [&] { return CreateJob(download, after, Text(title), itype, Text(iparam)); });
}

SVDNM_API SvBool SVAPI SVDNMCreateDownload(const char* url, const char* targetFolder) {
  return sv::Guard<SvBool>(0, [&]() -> SvBool {
    std::string u = Text(url);
    if (u.size() < kUrlSchemeLength || _strnicmp(u.c_str(), kUrlScheme, kUrlSchemeLength) != 0) return 0;
    std::string rest = u.substr(kUrlSchemeLength);
    size_t first = rest.find('/'), last = rest.rfind('/');
    if (first == std::string::npos) return 0;
    std::string host = rest.substr(0, first), files = rest.substr(last + 1);
    std::string path = rest.substr(first, last - first + 1);
    if (host.empty() || files.empty() || path.empty()) return 0;
    TSVNetParams p{};
    p.Size = sizeof(TSVNetParams);
    p.Method = SVNET_GET;
    p.HostMode = SVNET_HOSTS_EXPLICIT;
    p.Resume = 1;
    p.Timeout = kUrlTimeoutMs;
    p.Tag = sv::NewStr(kUrlTag);
    p.LocalDir = sv::NewStr(Text(targetFolder));
    p.Host = sv::NewStr(host);
    p.Files = sv::NewStr(files);
    p.Path = sv::NewStr(path);
    uint32_t code = CreateJob(&p, nullptr, u, 0, "");
    sv::Release(p.Tag), sv::Release(p.LocalDir), sv::Release(p.Host), sv::Release(p.Files), sv::Release(p.Path);
    return code != kRefusedJobCode && code != kFailedJobCode ? 1 : 0;
  });
}

SVDNM_API void SVAPI SVDNMSetParams(uint8_t kind, int32_t value) {
  sv::GuardVoid([&] {
    sv::Lock hold(ManagerLock());
    Manager& m = State();
    switch (kind) {
      case SVDNM_SET_ENABLED:
        m.enabled = value != 0;
        if (value == 1) {
          for (JobRecord* job : m.jobs) {
            uint8_t before = job->status;
            if (before == SVDNM_QUERY_FAILED) job->status = SVDNM_NEW;
            else if (before == SVDNM_INSTALL_FAILED) job->status = SVDNM_TRANSFERRED;
            else if (before == SVDNM_TRANSFER_FAILED) job->status = SVDNM_READY;
            if (job->status != before) SaveJob(*job);
          }
        }
        break;
      case SVDNM_SET_THREADS: SetThreadsCount(m, value); break;
      case SVDNM_SET_SLEEP: SetThreadsSleep(m, value); break;
      case SVDNM_SET_DELETE:
        if (JobRecord* job = FindJob(m, (uint32_t)value)) MarkDeleted(job);
        break;
      case SVDNM_SET_EARLIER: MoveJob(m, (uint32_t)value, -1); break;
      case SVDNM_SET_LATER: MoveJob(m, (uint32_t)value, +1); break;
      case SVDNM_SET_DELETE_STATUS:
        for (JobRecord* job : m.jobs)
          if (job->status == (uint32_t)value) MarkDeleted(job);
        break;
    }
  });
}

SVDNM_API int32_t SVAPI SVDNMGetParams(uint8_t kind) {
  return sv::Guard<int32_t>(0, [&]() -> int32_t {
    sv::Lock hold(ManagerLock());
    Manager& m = State();
    switch (kind) {
      case SVDNM_GET_ENABLED: return m.enabled ? 1 : 0;
      case SVDNM_GET_THREADS: return m.threadsCount;
      case SVDNM_GET_SLEEP: return m.threadsSleep;
      case SVDNM_GET_WAITING: {
        int32_t waiting = 0;
        for (JobRecord* job : m.jobs)
          if (job->status == SVDNM_NEW || job->status == SVDNM_READY || job->status == SVDNM_PAUSED ||
              job->status == SVDNM_TRANSFERRED)
            waiting++;
        return waiting;
      }
      default: return 0;
    }
  });
}

SVDNM_API void SVAPI SVDNMImportJobsList(SvStr* out) {
  sv::GuardVoid([&] {
    if (!out) return;
    sv::StrPut(out, nullptr);
    std::string list;
    {
      sv::Lock hold(ManagerLock());
      Manager& m = State();
      for (size_t i = m.jobs.size(); i-- > 0;) {
        const JobRecord& j = *m.jobs[i];
        list += std::to_string(j.code) + '\t' + j.title + '\t' + std::to_string(j.status) + '\t' +
                std::to_string(j.totalLength) + '\t' + std::to_string(j.doneLength + j.currLength) + '\t' + j.speed +
                '\n';
      }
    }
    sv::PutStr(out, list);
  });
}

SVDNM_API void SVAPI SVDNMGetErrorString(SvStr* out) {
  sv::GuardVoid([&] {
    if (!out) return;
    std::string log;
    {
      sv::Lock hold(ManagerLock());
      log.swap(State().errorLog);
    }
    sv::PutStr(out, log);
  });
}

SVDNM_API int32_t SVAPI SVDNMGetStatusByIParam(const char* key) {
  return sv::Guard<int32_t>(0, [&]() -> int32_t {
    std::string k = Text(key);
    sv::Lock hold(ManagerLock());
    int32_t result = SVDNM_KEY_NONE;
    for (JobRecord* job : State().jobs) {
      if (job->iParam != k) continue;
      switch (job->status) {
        case SVDNM_NEW: case SVDNM_QUERYING: case SVDNM_READY: case SVDNM_TRANSFERRING: case SVDNM_PAUSED:
        case SVDNM_TRANSFERRED: case SVDNM_INSTALLING: case SVDNM_TRANSFER_FAILED:
          return SVDNM_KEY_PENDING;  // a failed transfer is retried
        default: result = SVDNM_KEY_DONE;
      }
    }
    return result;
  });
}

SVDNM_API void SVAPI SVDNMGetJobNameByBaseCode(SvStr* out, uint32_t code) {
  sv::GuardVoid([&] {
    if (!out) return;
    std::string title;
    {
      sv::Lock hold(ManagerLock());
      if (JobRecord* job = FindJob(State(), code)) title = job->title;
    }
    sv::PutStr(out, title);
  });
}

SVDNM_API int32_t SVAPI GetModuleVersion(void) { return 14; }
