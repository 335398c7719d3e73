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

std::string Message(const JobRecord& job, const char* utf8) { return job.Title + ": " + sv::Ru(utf8); }

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
  f.Name = sv::Copy(r.Name);
  f.Path = sv::Copy(r.Path);
  f.Host = sv::Copy(r.Host);
  f.ETag = sv::Copy(r.ETag);
  f.Offset = r.Offset;
  f.Bytes = r.Bytes;
  f.ResultCode = r.ResultCode;
  f.LastModified = r.LastModified;
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
std::string Entry(const FileEntry& f) { return Backslashed(f.Path) + '\x06' + f.Host; }

std::string EntriesFrom(const JobRecord& job, size_t first) {
  std::string list;
  for (size_t i = first; i < job.Files.size(); i++) list += Entry(job.Files[i]) + '\t';
  return list;
}

uint32_t BytesBefore(const JobRecord& job, uint32_t index) {
  uint32_t sum = 0;
  for (uint32_t i = 0; i < index && i < job.Files.size(); i++) sum += (uint32_t)job.Files[i].Bytes;
  return sum;
}

NetCall FromRequest(const Request& r) {
  NetCall c;
  c.Method = r.Method;
  c.HostMode = r.HostMode;
  c.Path = r.Path;
  c.Host = r.Host;
  c.Files = r.Files;
  c.Timeout = r.Timeout;
  c.Tag = r.Tag;
  return c;
}

void Fail(Manager& m, Work* w, uint8_t status, const std::string& message) {
  w->Job->Status = status;
  AddError(m, message);
  StopWork(m, w);
}

void UpdateSpeed(Work* w) {
  JobRecord& job = *w->Job;
  uint32_t now = GetTickCount(), bytes = job.DoneLength + job.CurrLength;
  if (w->SpeedTick != 0 && now < w->SpeedTick) w->SpeedTick = 0;  // the tick counter wrapped
  if (w->SpeedTick == 0) {
    w->SpeedTick = now ? now : 1;
    w->SpeedBytes = bytes;
    return;
  }
  uint32_t elapsed = now - w->SpeedTick;
  if (elapsed < kSpeedWindowMs) return;
  double kbps = (double)(uint32_t)(bytes - w->SpeedBytes) / elapsed * kMsPerSecond / kBytesPerKilobyte;
  char text[32];
  snprintf(text, sizeof text, "%.1f", kbps);
  job.Speed = text;
  w->SpeedTick = now ? now : 1;
  w->SpeedBytes = bytes;
}

void TrackProgress(Work* w) {
  JobRecord& job = *w->Job;
  int32_t index = 0, position = 0;
  if (SVNetGetPos(&w->Net, &index, &position)) {
    job.CurrLength = (uint32_t)position;
    uint32_t current = w->FileBase + (uint32_t)index;
    if (current != job.CurrFile) {
      job.CurrFile = current;
      job.DoneLength = BytesBefore(job, current);
      SaveJob(job);
      w->SavedPos = 0;
    } else if ((int64_t)job.CurrLength - (int64_t)w->SavedPos > kSaveEveryBytes) {
      SaveJob(job);
      w->SavedPos = job.CurrLength;
    }
  }
  UpdateSpeed(w);
}

// Phase 0 done: the files on the server must still be the ones the query saw.
void AfterCheck(Manager& m, Work* w) {
  JobRecord& job = *w->Job;
  if (!SVNetIsCorrect(&w->Net)) {
    int32_t code = SVNetGetResultCode(&w->Net);
    if (IsNotFoundCode(code)) {
      Fail(m, w, SVDNM_NOT_FOUND, Message(job, u8"Файл не найден или он недоступен для закачки!"));
    } else {
      Fail(m, w, SVDNM_TRANSFER_FAILED, Message(job, u8"Нет подключения к серверу (подключение, прокси-сервер, фаерфол, антивирус)"));
    }
    return;
  }
  int32_t total = SVNetGetReadLengt(&w->Net);
  bool same = (uint32_t)(total == -1 ? 0 : total) == job.TotalLength &&
              SVNetFilesCount(&w->Net) == (int32_t)job.Files.size();
  std::vector<FileEntry> reported;
  for (size_t i = 0; same && i < job.Files.size(); i++) {
    FileEntry f;
    same = GetNetFile(&w->Net, (int32_t)i, f) && f.Bytes == job.Files[i].Bytes && f.Name == job.Files[i].Name;
    reported.push_back(f);
  }
  if (!same) {
    Fail(m, w, SVDNM_NOT_FOUND, Message(job, u8"Файл на сервере изменен! Попробуйте заново закачать!"));
    return;
  }
  for (size_t i = 0; i < job.Files.size(); i++) job.Files[i].Host = reported[i].Host;

  bool resumeTest = false;
  if (job.Download.Resume && job.CurrLength > kResumeStepBack && job.CurrFile < job.Files.size() &&
      job.Files[job.CurrFile].Bytes != -1) {
    std::string local = DownloadFolder(job.Code) + job.Files[job.CurrFile].Name;
    uint64_t size = 0;
    resumeTest = sv::FileExists(local) && SVFileSize(local.c_str(), &size) && size >= job.CurrLength - kResumeStepBack;
  }
  w->Phase = kPhaseResumeTest;
  if (resumeTest) {
    w->Params.Method = SVNET_PREV206;
    w->Params.Files = Entry(job.Files[job.CurrFile]);
    RunNet(&w->Net, w->Params);
    SaveJob(job);
  }
}

// Phase 1 done: start the download from where the job stands.
void AfterResumeTest(Manager& m, Work* w) {
  JobRecord& job = *w->Job;
  bool ranges = SVNetIsCorrect(&w->Net) && SVNetGetResultCode(&w->Net) == kHttpPartialContent;
  if (ranges && job.CurrFile < job.Files.size()) {
    job.CurrLength -= kResumeStepBack;
    w->Params.Files = Entry(job.Files[job.CurrFile]) + '\x06' + std::to_string(job.CurrLength) + '\t' +
                      EntriesFrom(job, job.CurrFile + 1);
  } else {
    job.CurrLength = 0;
    w->Params.Files = EntriesFrom(job, job.CurrFile);
  }
  job.DoneLength = BytesBefore(job, job.CurrFile);
  w->Params.Method = SVNET_GET;
  w->Params.AutoExtract = false;
  w->Params.Resume = job.Download.Resume;
  w->Params.LocalDir = DownloadFolder(job.Code);
  w->Params.Pause = (uint16_t)m.ThreadsSleep;
  w->FileBase = job.CurrFile;
  w->SavedPos = job.CurrLength;
  if (!sv::CreateFolderTree(w->Params.LocalDir)) {
    Fail(m, w, SVDNM_TRANSFER_FAILED, Message(job, u8"Нет доступа или несуществует папки ") + "\"" + w->Params.LocalDir + "\"");
    return;
  }
  w->Phase = kPhaseDownload;
  RunNet(&w->Net, w->Params);
  SaveJob(job);
}

void AfterDownload(Manager& m, Work* w) {
  JobRecord& job = *w->Job;
  if (!SVNetIsCorrect(&w->Net)) {
    Fail(m, w, SVDNM_TRANSFER_FAILED,
         Message(job, u8"Утеряно подключение к серверу! Восстановите подключение и продолжите закачку."));
    return;
  }
  w->Phase = kPhaseAfter;
  if (job.PS.Size != 0) {
    NetCall c = FromRequest(job.PS);
    c.LocalDir.clear();
    c.ResetHost = true;
    c.Resume = false;
    c.Pause = 0;
    w->Params = c;
    RunNet(&w->Net, w->Params);
    SaveJob(job);
  }
}

}  // namespace

bool RunNet(void** net, const NetCall& c) {
  TSVNetParams p{};
  p.Size = sizeof(TSVNetParams);
  p.Method = c.Method;
  p.HostMode = c.HostMode;
  p.AutoExtract = c.AutoExtract;
  p.Resume = c.Resume;
  p.ResetHost = c.ResetHost;
  p.LogReply = c.LogReply;
  p.Timeout = c.Timeout;
  p.Pause = c.Pause;
  p.Path = sv::NewStr(c.Path);
  p.Host = sv::NewStr(c.Host);
  p.Files = sv::NewStr(c.Files);
  p.LocalDir = sv::NewStr(c.LocalDir);
  p.Tag = sv::NewStr(c.Tag);
  bool ok = SVNetInitEx(net, p) == 0 && SVNetRun(net) == 0;
  sv::Release(p.Path), sv::Release(p.Host), sv::Release(p.Files), sv::Release(p.LocalDir), sv::Release(p.Tag);
  return ok;
}

Work* WorkOf(Manager& m, const JobRecord* job) {
  for (Work* w : m.Works)
    if (w->Job == job) return w;
  return nullptr;
}

void StartInfoQuery(Manager& m, JobRecord* job) {
  auto* w = new Work();
  if (SVNetCreate(&w->Net) != 0 || !w->Net) {
    delete w;
    return;
  }
  w->Job = job;
  m.InfoWork = w;
  job->Status = SVDNM_QUERYING;
  w->Params = FromRequest(job->Download);
  w->Params.Method = SVNET_HEAD;
  RunNet(&w->Net, w->Params);
}

void CheckInfoQuery(Manager& m) {
  Work* w = m.InfoWork;
  JobRecord& job = *w->Job;
  if (job.Status == SVDNM_DELETED) {  // deleted while its query ran
    StopWork(m, w);
    return;
  }
  if (!SVNetIsDone(&w->Net)) return;
  if (SVNetIsCorrect(&w->Net)) {
    int32_t total = SVNetGetReadLengt(&w->Net);
    job.TotalLength = (uint32_t)(total == -1 ? 0 : total);
    int32_t count = SVNetFilesCount(&w->Net);
    bool ok = true;
    try {
      job.Files.assign((size_t)std::max(count, 0), FileEntry());
      for (int32_t i = 0; i < count; i++) GetNetFile(&w->Net, i, job.Files[i]);
    } catch (...) {
      ok = false;
    }
    if (ok) {
      job.Status = SVDNM_READY;
    } else {
      job.Files.clear();
      job.Status = SVDNM_QUERY_FAILED;
      AddError(m, Message(job, u8"Ошибка инициализации! Повторите позже."));
    }
  } else if (IsNotFoundCode(SVNetGetResultCode(&w->Net))) {
    job.Status = SVDNM_NOT_FOUND;
    AddError(m, Message(job, u8"Файл не найден или он недоступен для закачки!"));
  } else {
    job.Status = SVDNM_QUERY_FAILED;
    AddError(m, Message(job, u8"Нет подключения к серверу (подключение, прокси-сервер, фаерфол, антивирус) или "
                             u8"неправильный URL!"));
  }
  StopWork(m, w);
}

void StartTransfer(Manager& m, JobRecord* job) {
  auto* w = new Work();
  if (SVNetCreate(&w->Net) != 0 || !w->Net) {
    delete w;
    return;
  }
  w->Job = job;
  job->Status = SVDNM_TRANSFERRING;
  w->Params = FromRequest(job->Download);
  w->Params.Method = SVNET_HEAD;
  w->Params.Files = EntriesFrom(*job, 0);
  RunNet(&w->Net, w->Params);
  SaveJob(*job);
  m.Works.push_back(w);
  SortWorks(m);
}

void AdvanceTransfer(Manager& m, Work* w) {
  if (!SVNetIsDone(&w->Net)) {
    if (w->Phase == kPhaseDownload) TrackProgress(w);
    return;
  }
  switch (w->Phase) {
    case kPhaseCheck: AfterCheck(m, w); break;
    case kPhaseResumeTest: AfterResumeTest(m, w); break;
    case kPhaseDownload: AfterDownload(m, w); break;
    default: {
      JobRecord& job = *w->Job;
      job.DoneLength = job.TotalLength;
      job.CurrLength = 0;
      job.Status = SVDNM_TRANSFERRED;
      StopWork(m, w);
    }
  }
}

void StopWork(Manager& m, Work* w) {
  SVNetDestroy(&w->Net);
  JobRecord& job = *w->Job;
  if (job.Status == SVDNM_QUERYING) job.Status = SVDNM_NEW;
  else if (job.Status == SVDNM_TRANSFERRING) job.Status = SVDNM_PAUSED;
  else if (job.Status == SVDNM_INSTALLING) job.Status = SVDNM_TRANSFERRED;
  if (w == m.InfoWork) m.InfoWork = nullptr;
  else m.Works.erase(std::remove(m.Works.begin(), m.Works.end(), w), m.Works.end());
  delete w;
  job.Speed.clear();
  Notify(job);
  SaveJob(job);
}

}  // namespace svdnm
