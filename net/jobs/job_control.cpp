#include "jobs/job_control.h"

#include <array>
#include <cstdio>
#include <new>
#include <string>

#include "SolvikaUtils.h"
#include "debug_log.h"
#include "http/form.h"
#include "http/http_client.h"
#include "jobs/file_list.h"
#include "jobs/job_text.h"
#include "jobs/worker.h"
#include "nettext.h"
#include "svstring.h"

namespace svnet {

namespace {

constexpr DWORD kStopWaitMs = 10000;       // a stopped worker gets this long to end
constexpr DWORD kKilledWaitMs = 1000;      // after TerminateThread
constexpr DWORD kKilledExitCode = 1;

// The string fields of a parameter record.
std::array<SvStr*, 6> ParamStrings(TSVNetParams* p) {
  return {&p->Path, &p->Host, &p->Files, &p->LocalDir, &p->UploadFile, &p->Tag};
}

void ReleaseParams(TSVNetParams* p) {
  for (SvStr* s : ParamStrings(p)) sv::StrPut(s, nullptr);
}

// A new string of the text argument (read up to its zero byte).
SvStr CopyText(const char* text) { return text && *text ? sv::StrFromC(text) : nullptr; }

void ResetCounters(Job* j) {
  {
    sv::Lock hold(j->lock);
    j->readTotal = j->writeTotal = j->readCurrent = j->writeCurrent = 0;
    j->fileIndex = 0;
  }
  j->resultCode = 0;
}

// The job's own copies of the caller's texts, made before the old ones go
// (a caller may pass a text that the job itself holds).
void TakeParams(Job* j, const TSVNetParams& params) {
  TSVNetParams copy = params;
  for (SvStr* s : ParamStrings(&copy)) *s = CopyText(*s);
  ReleaseParams(&j->params);
  j->params = copy;
  if (j->params.Timeout == 0) j->params.Timeout = SVNET_TIMEOUT_DEFAULT;
  if (j->params.ResetHost) {
    sv::Lock hold(j->lock);
    sv::PutStr(&j->lastHost, "");
  }
}

void ChooseHostMode(TSVNetParams& p) {
  if (p.HostMode == SVNET_HOSTS_EXPLICIT && sv::Length(p.Host) == 0) p.HostMode = SVNET_HOSTS_AUTO;
  if (p.HostMode != SVNET_HOSTS_AUTO) return;
  const bool source = (p.Method == SVNET_GET && sv::Length(p.LocalDir) > 0 && sv::Length(p.Files) > 0) ||
                      p.Method == SVNET_HEAD || p.Method == SVNET_PREV206;
  p.HostMode = source ? SVNET_HOSTS_SOURCE : SVNET_HOSTS_SCRIPT;
}

// Path with a leading "/" (and a trailing one before a file list); the file
// list rewritten to tab-separated entries with real "/" in their paths;
// LocalDir with backslashes and a trailing one.
void NormalisePaths(TSVNetParams& p) {
  std::string path = sv::Copy(p.Path);
  if (path[0] != '/') path = "/" + path;
  if (sv::Length(p.Files) > 0) {
    if (path.back() != '/') path += "/";
    std::string files = sv::Copy(p.Files);
    files = Replace(files, "//", "\\");
    files = Replace(files, "/", "\t");
    files = Replace(files, "\\", "/");
    sv::PutStr(&p.Files, files);
  }
  sv::PutStr(&p.Path, path);
  if (sv::Length(p.LocalDir) > 0) sv::PutStr(&p.LocalDir, FolderWithSlash(sv::Copy(p.LocalDir)));
}

std::string UtilsText(void(SVAPI* fn)(SvStr*)) {
  SvStr out = nullptr;
  fn(&out);
  return sv::Take(out);
}

// The machine identifier: MD5 of the decimal volume serial number of the
// drive that holds the program folder.
std::string MachineId() {
  char serial[16];
  std::snprintf(serial, sizeof serial, "%lu", (unsigned long)SVGetDriveSerial(""));
  SvStr serialText = sv::StrFromC(serial);
  const std::string id = sv::Take(MD5(serialText));
  sv::Release(serialText);
  return id;
}

// The fields that identify the client, posted with every POST.
void AddStandardFields(Job* j) {
  Form* form = (Form*)j->params.FormStream;
  if (!form) form = j->ownForm = new Form();
  form->AddField("svvn", UtilsText(GetProgVersionStr));
  form->AddField("svnn", UtilsText(GetProgramNum));
  form->AddField("svin", UtilsText(GetProgramId));
  form->AddField("svdn", MachineId());
}

void StartWorker(Job* j) {
  ResetEvent(j->stopEvent);
  j->state = SVNET_RUNNING;
  HANDLE t = CreateThread(nullptr, 0, JobWorker, j, CREATE_SUSPENDED, nullptr);
  if (!t) {
    j->state = SVNET_FAILED;
    return;
  }
  j->thread = t;
  ResumeThread(t);
}

}  // namespace

std::string FolderWithSlash(std::string folder) {
  if (folder.empty()) return folder;
  folder = Replace(folder, "/", "\\");
  if (folder.back() != '\\') folder += '\\';
  return folder;
}

Job* CreateJob() {
  Job* j = new (std::nothrow) Job();
  if (!j) return nullptr;
  j->params.AutoExtract = 1;
  j->stopEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  return j;
}

void DestroyJob(Job* j) {
  ReleaseParams(&j->params);
  sv::Release(j->lastHost);
  sv::Release(j->readStr);
  sv::Release(j->localFile);
  CloseHandle(j->stopEvent);
  delete j;
}

bool WorkerDone(Job* j) { return !j->thread || WaitForSingleObject(j->thread, 0) == WAIT_OBJECT_0; }

int32_t InitJob(Job* j, const TSVNetParams& params) {
  if (!WorkerDone(j)) return SVNET_ERR_STATE;
  FinalizeJob(j);
  ResetCounters(j);
  if (params.Size != (int32_t)sizeof(TSVNetParams)) return SVNET_ERR_PARAMS;
  TakeParams(j, params);
  j->state = SVNET_READY;
  return SVNET_OK;
}

void StartRun(Job* j) {
  TSVNetParams& p = j->params;
  ChooseHostMode(p);
  NormalisePaths(p);
  if (p.Method == SVNET_POST || p.Method == SVNET_POSTORGET) AddStandardFields(j);
  StartWorker(j);
}

void AbortJob(Job* j) {
  if (!j || WorkerDone(j)) return;
  j->state = SVNET_FAILED;
  SetEvent(j->stopEvent);
  sv::Lock hold(j->clientLock);
  if (j->client) j->client->Disconnect();
}

void StopJob(Job* j) {
  if (j->thread && !WorkerDone(j)) {
    AbortJob(j);
    const std::string tail = "#" + HandleText(j->thread) + " [" + MethodName(j->params.Method) + "]";
    if (WaitForSingleObject(j->thread, kStopWaitMs) != WAIT_OBJECT_0) {
      TerminateThread(j->thread, kKilledExitCode);
      WaitForSingleObject(j->thread, kKilledWaitMs);
      Log("~~Terminate " + tail);
    } else {
      Log("~~Disconnect " + tail);
    }
  }
  if (WorkerDone(j)) FinalizeJob(j);
}

void FinalizeJob(Job* j) {
  if (j->thread) CloseHandle(j->thread);
  j->thread = nullptr;
  delete j->client;
  j->client = nullptr;
  delete j->ownForm;
  j->ownForm = nullptr;
  if (j->fileStream && j->fileStream != INVALID_HANDLE_VALUE) CloseHandle(j->fileStream);
  j->fileStream = nullptr;
  if (sv::Length(j->localFile) > 0) {
    SVDeleteFile(j->localFile);
    sv::PutStr(&j->localFile, "");
  }
  sv::PutStr(&j->readStr, "");
  FreeFileList(j);
  j->state = SVNET_IDLE;
}

}  // namespace svnet
