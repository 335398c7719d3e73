// The worker thread of an HTTP job: builds the file list, uploads, and
// fetches every file from the first host that answers correctly.
#include "jobs/worker.h"

#include "SolvikaUtils.h"
#include "debug_log.h"
#include "jobs/file_list.h"
#include "jobs/host_order.h"
#include "jobs/job_text.h"
#include "jobs/packing.h"
#include "jobs/request.h"
#include "mainthread/configuration.h"
#include "nettext.h"
#include "svstring.h"

namespace svnet {

namespace {

// Receive size without a speed brake. Under Wine every receive call costs a
// round trip to its server; 1 MB per call (instead of 64 KB) took a 256 MB
// download from a quarter of curl's throughput to above 0.8 of it.
constexpr size_t kFastBlock = 1 << 20;
constexpr size_t kBrakeBlock = 1024;  // the grain of progress and brake
constexpr char kZipSuffix[] = ".zip";

std::string UserAgent(const Job* j) {
  const std::string ie = sv::TakeOut(GetMSIEVersion), win = sv::TakeOut(GetWindowsVersion);
  return "Mozilla/4.0 (compatible; MSIE " + (ie.empty() ? std::string("6.0") : ie) + "; Windows " +
         (win.empty() ? std::string("?") : win) + "; Solvika " + sv::TakeOut(GetProgVersionStr) + "; " +
         sv::Copy(j->params.Tag) + ")";
}

// Progress of the current transfer; a received chunk also takes the speed
// brake's pause, under the lock, so that progress readers wait for it.
void OnProgress(Job* j, bool write, int64_t count) {
  sv::Lock hold(j->lock);
  if (write) {
    j->writeCurrent = (int32_t)count;
    return;
  }
  j->readCurrent = (int32_t)count;
  const uint16_t pause = j->params.Pause;
  if (pause && j->state == SVNET_RUNNING) j->stopEvent.Wait(pause);
}

// Creates the run's HTTP client and sets it up for the job.
HttpClient* CreateClient(Job* j) {
  auto client = new HttpClient();
  {
    sv::Lock hold(j->clientLock);
    j->client = client;
    if (j->state != SVNET_RUNNING) client->Disconnect();  // stopped before the client existed
  }
  client->blockSize = [j]() { return j->params.Pause ? kBrakeBlock : kFastBlock; };
  client->progress = [j](bool write, int64_t count) { OnProgress(j, write, count); };
  client->timeoutMs = j->params.Timeout;
  client->userAgent = UserAgent(j);
  client->proxy = CurrentProxy();
  return client;
}

void FreeClient(Job* j) {
  HttpClient* client;
  {
    sv::Lock hold(j->clientLock);
    client = j->client;
    j->client = nullptr;
  }
  delete client;
  delete j->ownForm;
  j->ownForm = nullptr;
}

// Adds the upload file to the form (packed first with ZipUpload); false when
// it cannot be packed or read, which fails the run.
bool AddUpload(Run& run, std::string upload) {
  Job* j = run.job;
  std::string archive;
  if (j->params.ZipUpload) {
    archive = upload + kZipSuffix;
    SVDeleteFile(archive.c_str());
    if (PackFiles(archive, upload) != 0) return false;
    upload = archive;
  }
  run.form->AddField("stat", sv::TakeOut(GetProgramId));
  const size_t slash = upload.rfind('\\');
  run.form->AddField("filename", slash == std::string::npos ? upload : upload.substr(slash + 1));
  const bool added = run.form->AddFile("upf", upload);
  if (!archive.empty()) SVDeleteFile(archive.c_str());
  return added;
}

bool PrepareUpload(Run& run) {
  const int method = run.job->params.Method;
  const std::string upload = sv::Copy(run.job->params.UploadFile);
  if ((method != SVNET_POST && method != SVNET_POSTORGET) || upload.empty() || !SVFileExists(upload.c_str()) ||
      !run.form)
    return true;
  try {
    return AddUpload(run, upload);
  } catch (...) {
    return false;
  }
}

// The run's host list: by host mode, with the job's Host in front.
std::string RunHosts(const Job* j) {
  std::string hosts;
  if (j->params.HostMode == SVNET_HOSTS_SCRIPT) hosts = ScriptHostList();
  else if (j->params.HostMode == SVNET_HOSTS_SOURCE) hosts = SourceHostList();
  return PutHostFirst(sv::Copy(j->params.Host), hosts);
}

// The hosts for file `index`: its own host, the last good host, the run's list.
std::string FileHosts(Job* j, int32_t index, TSVNetFileListRec* rec, const std::string& hosts) {
  std::string candidates;
  {
    sv::Lock hold(j->lock);
    j->fileIndex = index;
    candidates = PutHostFirst(sv::Copy(j->lastHost), hosts);
  }
  return PutHostFirst(sv::Copy(rec->Host), candidates);
}

void ClearCurrent(Job* j) {
  sv::Lock hold(j->lock);
  j->readCurrent = 0;
  j->writeCurrent = 0;
}

// Tries the hosts one by one until one serves the file; false when none did
// or the job was stopped.
bool FetchFile(Run& run, int32_t index, const std::string& hosts) {
  Job* j = run.job;
  TSVNetFileListRec* rec = FileRecord(j->fileList, index);
  Log("#" + run.handle + " File: " + sv::Copy(rec->Name));
  for (auto& host : Fields(FileHosts(j, index, rec, hosts), '/')) {
    if (j->state != SVNET_RUNNING) break;
    if (host.empty()) continue;
    ClearCurrent(j);
    Log("#" + run.handle + " Host: " + host);
    if (Request(run, rec, host)) {
      sv::Lock hold(j->lock);
      sv::PutStr(&j->lastHost, host);
      return true;
    }
  }
  return false;
}

// Every file in order; the first one that no host serves fails the run.
void FetchFiles(Run& run) {
  Job* j = run.job;
  const std::string hosts = RunHosts(j);
  const int32_t count = sv::ArrayLen(j->fileList);
  for (int32_t i = 0; i < count; ++i) {
    if (!FetchFile(run, i, hosts)) {
      j->state = SVNET_FAILED;
      return;
    }
  }
  if (j->state == SVNET_RUNNING) j->state = SVNET_SUCCEEDED;
}

void LogStart(const Run& run) {
  const Job* j = run.job;
  std::string head = "~Run #" + run.handle + " [" + MethodName(j->params.Method) + "] " + run.path;
  if (sv::Length(j->params.Files) > 0) head += " {" + sv::Copy(j->params.Files) + "}";
  Log(head);
}

void LogDone(const Run& run) {
  const Job* j = run.job;
  Log("~Done #" + run.handle + " [" + MethodName(j->params.Method) + "] <" +
      (j->state == SVNET_SUCCEEDED ? "OK> " + sv::Copy(j->lastHost) : std::string("ERROR> ")));
}

}  // namespace

DWORD WINAPI JobWorker(void* arg) {
  Job* j = (Job*)arg;
  Run run{j, nullptr, HandleText(j->thread.Get()), sv::Copy(j->params.Path), sv::Copy(j->params.LocalDir)};
  LogStart(run);
  try {
    run.client = CreateClient(j);
    BuildFileList(j);
    run.form = j->params.FormStream ? (Form*)j->params.FormStream : j->ownForm;
    if (PrepareUpload(run)) FetchFiles(run);
  } catch (...) {
    // Out of memory: the run fails below.
  }
  FreeClient(j);
  if (j->state == SVNET_RUNNING) j->state = SVNET_FAILED;
  LogDone(run);
  return 0;
}

}  // namespace svnet
