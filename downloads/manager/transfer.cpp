// The HTTP work of a job: the information query (HEAD of all its files) and
// the transfer in four phases: check, resume test, download, after-request.
#include <windows.h>

#include <algorithm>

#include "SolvikaDNM.h"
#include "SolvikaUtils.h"
#include "file_io.h"
#include "job/job_store.h"
#include "manager.h"
#include "svstring.h"
#include "wide.h"

namespace svdnm {

namespace {

// A resumed download starts this many bytes before the saved position: the
// last bytes written before a crash may be lost.
const uint32_t kResumeStepBack = 5120;
// A running download saves its job after this many new bytes of one file.
const int64_t kSaveEveryBytes = 512000;
// The speed text is computed over at least this long.
const uint32_t kSpeedWindowMs = 5000;
const double kBytesPerKilobyte = 1024.0;
const double kMsPerSecond = 1000.0;
// The server's answer to a range request it takes.
const int32_t kHttpPartialContent = 206;

std::string Message(const JobRecord& job, const char* utf8) { return job.title + ": " + sv::Ru(utf8); }

// Statuses the server gives for a file that is not there for us.
bool IsNotFoundCode(int32_t code) {
  switch (code) {
    case 301: case 302: case 400: case 403: case 404: case 405: case 406: case 413: case 414: case 505:
      return true;
    default:
      return false;
  }
}

FileEntry CopyFileRecord(const TSVNetFileListRec& r) {
  FileEntry f;
  f.name = sv::Copy(r.Name);
  f.path = sv::Copy(r.Path);
  f.host = sv::Copy(r.Host);
  f.eTag = sv::Copy(r.ETag);
  f.offset = r.Offset;
  f.bytes = r.Bytes;
  f.resultCode = r.ResultCode;
  f.lastModified = r.LastModified;
  return f;
}

void ReleaseFileRecord(TSVNetFileListRec& r) {
  sv::Release(r.Name), sv::Release(r.Path), sv::Release(r.Host), sv::Release(r.ETag);
  r = TSVNetFileListRec{};
}

bool GetNetFile(void** net, int32_t index, FileEntry& out) {
  TSVNetFileListRec r{};
  if (!SVNetGetFile(net, index, &r)) return false;
  out = CopyFileRecord(r);
  ReleaseFileRecord(r);
  return true;
}

std::string Backslashed(const std::string& path) {
  std::string r = path;
  std::replace(r.begin(), r.end(), '/', '\\');
  return r;
}

// One entry of a file list: path, code 6, host[, code 6, offset].
std::string Entry(const FileEntry& f) { return Backslashed(f.path) + '\x06' + f.host; }

std::string EntriesFrom(const JobRecord& job, size_t first) {
  std::string list;
  for (size_t i = first; i < job.files.size(); i++) list += Entry(job.files[i]) + '\t';
  return list;
}

uint32_t BytesBefore(const JobRecord& job, uint32_t index) {
  uint32_t sum = 0;
  for (uint32_t i = 0; i < index && i < job.files.size(); i++) sum += (uint32_t)job.files[i].bytes;
  return sum;
}

NetCall FromRequest(const Request& r) {
  NetCall c;
  c.method = r.method;
  c.hostMode = r.hostMode;
  c.path = r.path;
  c.host = r.host;
  c.files = r.files;
  c.timeout = r.timeout;
  c.tag = r.tag;
  return c;
}

void Fail(Manager& m, Work* w, uint8_t status, const std::string& message) {
  w->job->status = status;
  AddError(m, message);
  StopWork(m, w);
}

void UpdateSpeed(Work* w) {
  JobRecord& job = *w->job;
  uint32_t now = GetTickCount(), bytes = job.doneLength + job.currLength;
  if (w->speedTick != 0 && now < w->speedTick) w->speedTick = 0;  // the tick counter wrapped
  if (w->speedTick == 0) {
    w->speedTick = now ? now : 1;
    w->speedBytes = bytes;
    return;
  }
  uint32_t elapsed = now - w->speedTick;
  if (elapsed < kSpeedWindowMs) return;
  double kbps = (double)(uint32_t)(bytes - w->speedBytes) / elapsed * kMsPerSecond / kBytesPerKilobyte;
  char text[32];
  snprintf(text, sizeof text, "%.1f", kbps);
  job.speed = text;
  w->speedTick = now ? now : 1;
  w->speedBytes = bytes;
}

void TrackProgress(Work* w) {
  JobRecord& job = *w->job;
  int32_t index = 0, position = 0;
  if (SVNetGetPos(&w->net, &index, &position)) {
    job.currLength = (uint32_t)position;
    uint32_t current = w->fileBase + (uint32_t)index;
    if (current != job.currFile) {
      job.currFile = current;
      job.doneLength = BytesBefore(job, current);
      SaveJob(job);
      w->savedPos = 0;
    } else if ((int64_t)job.currLength - (int64_t)w->savedPos > kSaveEveryBytes) {
      SaveJob(job);
      w->savedPos = job.currLength;
    }
  }
  UpdateSpeed(w);
}

// Phase 0 done: the files on the server must still be the ones the query saw.
void AfterCheck(Manager& m, Work* w) {
  JobRecord& job = *w->job;
  if (!SVNetIsCorrect(&w->net)) {
    int32_t code = SVNetGetResultCode(&w->net);
    if (IsNotFoundCode(code)) {
      Fail(m, w, SVDNM_NOT_FOUND, Message(job, u8"Файл не найден или он недоступен для закачки!"));
    } else {
      Fail(m, w, SVDNM_TRANSFER_FAILED,
           Message(job, u8"Нет подключения к серверу (подключение, прокси-сервер, фаерфол, антивирус)"));
    }
    return;
  }
  int32_t total = SVNetGetReadLengt(&w->net);
  bool same = (uint32_t)(total == -1 ? 0 : total) == job.totalLength &&
              SVNetFilesCount(&w->net) == (int32_t)job.files.size();
  std::vector<FileEntry> reported;
  for (size_t i = 0; same && i < job.files.size(); i++) {
    FileEntry f;
    same = GetNetFile(&w->net, (int32_t)i, f) && f.bytes == job.files[i].bytes && f.name == job.files[i].name;
    reported.push_back(f);
  }
  if (!same) {
    Fail(m, w, SVDNM_NOT_FOUND, Message(job, u8"Файл на сервере изменен! Попробуйте заново закачать!"));
    return;
  }
  for (size_t i = 0; i < job.files.size(); i++) job.files[i].host = reported[i].host;

  bool resumeTest = false;
  if (job.download.resume && job.currLength > kResumeStepBack && job.currFile < job.files.size() &&
      job.files[job.currFile].bytes != -1) {
    std::string local = DownloadFolder(job.code) + job.files[job.currFile].name;
    uint64_t size = 0;
    resumeTest = sv::FileExists(local) && SVFileSize(local.c_str(), &size) && size >= job.currLength - kResumeStepBack;
  }
  w->phase = kPhaseResumeTest;
  if (resumeTest) {
    w->params.method = SVNET_PREV206;
    w->params.files = Entry(job.files[job.currFile]);
    RunNet(&w->net, w->params);
    SaveJob(job);
  }
}

// Phase 1 done: start the download from where the job stands.
void AfterResumeTest(Manager& m, Work* w) {
  JobRecord& job = *w->job;
  bool ranges = SVNetIsCorrect(&w->net) && SVNetGetResultCode(&w->net) == kHttpPartialContent;
  if (ranges && job.currFile < job.files.size()) {
    job.currLength -= kResumeStepBack;
    w->params.files = Entry(job.files[job.currFile]) + '\x06' + std::to_string(job.currLength) + '\t' +
                      EntriesFrom(job, job.currFile + 1);
  } else {
    job.currLength = 0;
    w->params.files = EntriesFrom(job, job.currFile);
  }
  job.doneLength = BytesBefore(job, job.currFile);
  w->params.method = SVNET_GET;
  w->params.autoExtract = false;
  w->params.resume = job.download.resume;
  w->params.localDir = DownloadFolder(job.code);
  w->params.pause = (uint16_t)m.threadsSleep;
  w->fileBase = job.currFile;
  w->savedPos = job.currLength;
  if (!sv::CreateFolderTree(w->params.localDir)) {
    Fail(m, w, SVDNM_TRANSFER_FAILED, Message(job, u8"Нет доступа или несуществует папки ") + "\"" + w->params.localDir + "\"");
    return;
  }
  w->phase = kPhaseDownload;
  RunNet(&w->net, w->params);
  SaveJob(job);
}

void AfterDownload(Manager& m, Work* w) {
  JobRecord& job = *w->job;
  if (!SVNetIsCorrect(&w->net)) {
    Fail(m, w, SVDNM_TRANSFER_FAILED,
         Message(job, u8"Утеряно подключение к серверу! Восстановите подключение и продолжите закачку."));
    return;
  }
  w->phase = kPhaseAfter;
  if (job.ps.size != 0) {
    NetCall c = FromRequest(job.ps);
    c.localDir.clear();
    c.resetHost = true;
    c.resume = false;
    c.pause = 0;
    w->params = c;
    RunNet(&w->net, w->params);
    SaveJob(job);
  }
}

}  // namespace

bool RunNet(void** net, const NetCall& c) {
  TSVNetParams p{};
  p.Size = sizeof(TSVNetParams);
  p.Method = c.method;
  p.HostMode = c.hostMode;
  p.AutoExtract = c.autoExtract;
  p.Resume = c.resume;
  p.ResetHost = c.resetHost;
  p.LogReply = c.logReply;
  p.Timeout = c.timeout;
  p.Pause = c.pause;
  p.Path = sv::NewStr(c.path);
  p.Host = sv::NewStr(c.host);
  p.Files = sv::NewStr(c.files);
  p.LocalDir = sv::NewStr(c.localDir);
  p.Tag = sv::NewStr(c.tag);
  bool ok = SVNetInitEx(net, p) == 0 && SVNetRun(net) == 0;
  sv::Release(p.Path), sv::Release(p.Host), sv::Release(p.Files), sv::Release(p.LocalDir), sv::Release(p.Tag);
  return ok;
}

Work* WorkOf(Manager& m, const JobRecord* job) {
  for (Work* w : m.works)
    if (w->job == job) return w;
  return nullptr;
}

void StartInfoQuery(Manager& m, JobRecord* job) {
  auto* w = new Work();
  if (SVNetCreate(&w->net) != 0 || !w->net) {
    delete w;
    return;
  }
  w->job = job;
  m.infoWork = w;
  job->status = SVDNM_QUERYING;
  w->params = FromRequest(job->download);
  w->params.method = SVNET_HEAD;
  RunNet(&w->net, w->params);
}

void CheckInfoQuery(Manager& m) {
  Work* w = m.infoWork;
  JobRecord& job = *w->job;
  if (job.status == SVDNM_DELETED) {  // deleted while its query ran
    StopWork(m, w);
    return;
  }
  if (!SVNetIsDone(&w->net)) return;
  if (SVNetIsCorrect(&w->net)) {
    int32_t total = SVNetGetReadLengt(&w->net);
    job.totalLength = (uint32_t)(total == -1 ? 0 : total);
    int32_t count = SVNetFilesCount(&w->net);
    bool ok = true;
    try {
      job.files.assign((size_t)std::max(count, 0), FileEntry());
      for (int32_t i = 0; i < count; i++) GetNetFile(&w->net, i, job.files[i]);
    } catch (...) {
      ok = false;
    }
    if (ok) {
      job.status = SVDNM_READY;
    } else {
      job.files.clear();
      job.status = SVDNM_QUERY_FAILED;
      AddError(m, Message(job, u8"Ошибка инициализации! Повторите позже."));
    }
  } else if (IsNotFoundCode(SVNetGetResultCode(&w->net))) {
    job.status = SVDNM_NOT_FOUND;
    AddError(m, Message(job, u8"Файл не найден или он недоступен для закачки!"));
  } else {
    job.status = SVDNM_QUERY_FAILED;
    AddError(m, Message(job, u8"Нет подключения к серверу (подключение, прокси-сервер, фаерфол, антивирус) или "
                             u8"неправильный URL!"));
  }
  StopWork(m, w);
}

void StartTransfer(Manager& m, JobRecord* job) {
  auto* w = new Work();
  if (SVNetCreate(&w->net) != 0 || !w->net) {
    delete w;
    return;
  }
  w->job = job;
  job->status = SVDNM_TRANSFERRING;
  w->params = FromRequest(job->download);
  w->params.method = SVNET_HEAD;
  w->params.files = EntriesFrom(*job, 0);
  RunNet(&w->net, w->params);
  SaveJob(*job);
  m.works.push_back(w);
  SortWorks(m);
}

void AdvanceTransfer(Manager& m, Work* w) {
  if (!SVNetIsDone(&w->net)) {
    if (w->phase == kPhaseDownload) TrackProgress(w);
    return;
  }
  // A phase that ends without a request of its own (no resume test, no
  // after-request) leaves the HTTP job done: the next phase follows at once
  // instead of a tick later. Each pass moves the phase on or ends the work.
  for (;;) {
    const uint8_t phase = w->phase;
    switch (phase) {
      case kPhaseCheck: AfterCheck(m, w); break;
      case kPhaseResumeTest: AfterResumeTest(m, w); break;
      case kPhaseDownload: AfterDownload(m, w); break;
      default: {
        JobRecord& job = *w->job;
        job.doneLength = job.totalLength;
        job.currLength = 0;
        job.status = SVDNM_TRANSFERRED;
        StopWork(m, w);
        return;
      }
    }
    // A failed phase has ended (and freed) the work.
    if (std::find(m.works.begin(), m.works.end(), w) == m.works.end()) return;
    if (w->phase == phase || !SVNetIsDone(&w->net)) return;
  }
}

bool StepRunning(Manager& m) {
  if (m.infoWork && !SVNetIsDone(&m.infoWork->net)) return true;
  for (Work* w : m.works)
    if (!SVNetIsDone(&w->net)) return true;
  return m.install && m.install->thread && !m.install->thread.Wait(0);
}

// Only a request that succeeded brings the tick forward: a failure is seen at
// the regular tick, as it always was, so a host that refuses is not asked
// faster and a failing transfer shows as running for a tick.
bool StepEnded(Manager& m) {
  if (m.infoWork && SVNetIsDone(&m.infoWork->net) && SVNetIsCorrect(&m.infoWork->net)) return true;
  for (Work* w : m.works)
    if (SVNetIsDone(&w->net) && SVNetIsCorrect(&w->net)) return true;
  return m.install && (!m.install->thread || m.install->thread.Wait(0));
}

void StopWork(Manager& m, Work* w) {
  SVNetDestroy(&w->net);
  JobRecord& job = *w->job;
  if (job.status == SVDNM_QUERYING) job.status = SVDNM_NEW;
  else if (job.status == SVDNM_TRANSFERRING) job.status = SVDNM_PAUSED;
  else if (job.status == SVDNM_INSTALLING) job.status = SVDNM_TRANSFERRED;
  if (w == m.infoWork) m.infoWork = nullptr;
  else m.works.erase(std::remove(m.works.begin(), m.works.end(), w), m.works.end());
  delete w;
  job.speed.clear();
  Notify(job);
  SaveJob(job);
}

}  // namespace svdnm
