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
  r.Size = p.Size;
  r.Method = p.Method;
  r.HostMode = p.HostMode;
  r.AutoExtract = p.AutoExtract != 0;
  r.Resume = p.Resume != 0;
  r.LogReply = p.LogReply != 0;
  r.Timeout = p.Timeout;
  r.Path = sv::Copy(p.Path);
  r.Host = sv::Copy(p.Host);
  r.Files = sv::Copy(p.Files);
  r.LocalDir = sv::Copy(p.LocalDir);
  r.Tag = sv::Copy(p.Tag);
  return r;
}

// The job file keeps one value per line: a value with a line feed would read
// back as something else.
bool HasLineBreak(const std::string& s) { return s.find('\n') != std::string::npos; }

bool Storable(const Request& r) {
  for (const std::string* s : {&r.Path, &r.Host, &r.Files, &r.LocalDir, &r.Tag})
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
  if (!download || download->Size != (int32_t)sizeof(TSVNetParams) || download->Method != SVNET_GET || download->FormStream) return false;
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
  job->Title = title;
  job->Code = job->Pos = code;
  job->Status = SVDNM_NEW;
  job->Download = ToRequest(*download);
  if (after) job->PS = ToRequest(*after);
  job->IType = itype;
  job->IParam = iparam;
  SaveJob(*job);
  sv::Lock hold(ManagerLock());
  Manager& m = State();
  if (FindJob(m, code)) {  // the starting manager already read it from disk
    delete job;
  } else {
    m.Jobs.push_back(job);
    SortJobs(m);
  }
  return code;
}

void MoveJob(Manager& m, uint32_t code, int direction) {
  for (size_t i = 0; i < m.Jobs.size(); i++) {
    if (m.Jobs[i]->Code != code) continue;
    size_t other = i + direction;
    if (other >= m.Jobs.size()) return;  // also wraps below 0
    std::swap(m.Jobs[i]->Pos, m.Jobs[other]->Pos);
    std::swap(m.Jobs[i], m.Jobs[other]);
    SaveJob(*m.Jobs[i]);
    SaveJob(*m.Jobs[other]);
    SortWorks(m);
    return;
  }
}

void MarkDeleted(JobRecord* job) {
  job->Status = SVDNM_DELETED;
  Notify(*job);
  SaveJob(*job);
}

}  // namespace

SV_EXPORT void SVAPI SolvikaDNMStart(void) {
  sv::GuardVoid([] {
    if (g_thread) return;
    Manager& m = State();
    m.Stopping = false;
    if (!m.Wake) m.Wake = sv::Event::Create(false, false);
    m.Wake.Clear();
    sv::Event started = sv::Event::Create(true, false);
    g_thread = sv::Thread::Start(ManagerThread, started.Get());
    // Return only once the jobs are loaded and the exports are safe to use.
    if (g_thread) started.Wait(INFINITE);
    DebugWrite("=== Start SVDNM");
  });
}

SV_EXPORT void SVAPI SolvikaDNMStop(void) {
  sv::GuardVoid([] {
    if (!g_thread) return;
    State().Stopping = true;
    State().Wake.Set();
    g_thread.Wait(INFINITE);
    g_thread.Reset();
    DebugWrite("=== Stop SVDNM");
  });
}

SV_EXPORT uint32_t SVAPI SVDNMCreateJob(const TSVNetParams* download, const TSVNetParams* after, const char* title,
                                        uint8_t itype, const char* iparam) {
  return sv::Guard<uint32_t>(kFailedJobCode, [&] { return CreateJob(download, after, Text(title), itype, Text(iparam)); });
}

SV_EXPORT SvBool SVAPI SVDNMCreateDownload(const char* url, const char* targetFolder) {
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

SV_EXPORT void SVAPI SVDNMSetParams(uint8_t kind, int32_t value) {
  sv::GuardVoid([&] {
    sv::Lock hold(ManagerLock());
    Manager& m = State();
    switch (kind) {
      case SVDNM_SET_ENABLED:
        m.Enabled = value != 0;
        if (value == 1) {
          for (JobRecord* job : m.Jobs) {
            uint8_t before = job->Status;
            if (before == SVDNM_QUERY_FAILED) job->Status = SVDNM_NEW;
            else if (before == SVDNM_INSTALL_FAILED) job->Status = SVDNM_TRANSFERRED;
            else if (before == SVDNM_TRANSFER_FAILED) job->Status = SVDNM_READY;
            if (job->Status != before) SaveJob(*job);
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
        for (JobRecord* job : m.Jobs)
          if (job->Status == (uint32_t)value) MarkDeleted(job);
        break;
    }
  });
}

SV_EXPORT int32_t SVAPI SVDNMGetParams(uint8_t kind) {
  return sv::Guard<int32_t>(0, [&]() -> int32_t {
    sv::Lock hold(ManagerLock());
    Manager& m = State();
    switch (kind) {
      case SVDNM_GET_ENABLED: return m.Enabled ? 1 : 0;
      case SVDNM_GET_THREADS: return m.ThreadsCount;
      case SVDNM_GET_SLEEP: return m.ThreadsSleep;
      case SVDNM_GET_WAITING: {
        int32_t waiting = 0;
        for (JobRecord* job : m.Jobs)
          if (job->Status == SVDNM_NEW || job->Status == SVDNM_READY || job->Status == SVDNM_PAUSED ||
              job->Status == SVDNM_TRANSFERRED)
            waiting++;
        return waiting;
      }
      default: return 0;
    }
  });
}

SV_EXPORT void SVAPI SVDNMImportJobsList(SvStr* out) {
  sv::GuardVoid([&] {
    if (!out) return;
    sv::StrPut(out, nullptr);
    std::string list;
    {
      sv::Lock hold(ManagerLock());
      Manager& m = State();
      for (size_t i = m.Jobs.size(); i-- > 0;) {
        const JobRecord& j = *m.Jobs[i];
        list += std::to_string(j.Code) + '\t' + j.Title + '\t' + std::to_string(j.Status) + '\t' +
                std::to_string(j.TotalLength) + '\t' + std::to_string(j.DoneLength + j.CurrLength) + '\t' + j.Speed +
                '\n';
      }
    }
    sv::PutStr(out, list);
  });
}

SV_EXPORT void SVAPI SVDNMGetErrorString(SvStr* out) {
  sv::GuardVoid([&] {
    if (!out) return;
    std::string log;
    {
      sv::Lock hold(ManagerLock());
      log.swap(State().ErrorLog);
    }
    sv::PutStr(out, log);
  });
}

SV_EXPORT int32_t SVAPI SVDNMGetStatusByIParam(const char* key) {
  return sv::Guard<int32_t>(0, [&]() -> int32_t {
    std::string k = Text(key);
    sv::Lock hold(ManagerLock());
    int32_t result = SVDNM_KEY_NONE;
    for (JobRecord* job : State().Jobs) {
      if (job->IParam != k) continue;
      switch (job->Status) {
        case SVDNM_NEW: case SVDNM_QUERYING: case SVDNM_READY: case SVDNM_TRANSFERRING: case SVDNM_PAUSED:
        case SVDNM_TRANSFERRED: case SVDNM_INSTALLING: case SVDNM_TRANSFER_FAILED:
          return SVDNM_KEY_PENDING;  // a failed transfer is retried
        default: result = SVDNM_KEY_DONE;
      }
    }
    return result;
  });
}

SV_EXPORT void SVAPI SVDNMGetJobNameByBaseCode(SvStr* out, uint32_t code) {
  sv::GuardVoid([&] {
    if (!out) return;
    std::string title;
    {
      sv::Lock hold(ManagerLock());
      if (JobRecord* job = FindJob(State(), code)) title = job->Title;
    }
    sv::PutStr(out, title);
  });
}

SV_EXPORT int32_t SVAPI GetModuleVersion(void) { return 14; }
