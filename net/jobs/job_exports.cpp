// Exports of the HTTP job engine. Every job argument is the address of the
// caller's handle variable.
#include <cstdio>

#include "SolvikaUtils.h"
#include "guard.h"
#include "svstring.h"
#include "job.h"
#include "mainthread/main_thread.h"
#include "nettext.h"

using namespace svnet;

namespace svnet {

const char* MethodName(int method) {
  static const char* names[] = {"NONE", "GET", "POST", "HEAD", "PREV206", "POSTorGET"};
  return method >= 0 && method <= 5 ? names[method] : "NONE";
}

std::string HandleText(HANDLE thread) {
  char text[16];
  std::snprintf(text, sizeof text, "%08lX", (unsigned long)(uintptr_t)thread);
  return text;
}

std::string S(SvStr s) { return s ? std::string(s, (size_t)sv::Length(s)) : std::string(); }

void SetStr(SvStr* field, const std::string& value) { sv::StrPut(field, sv::StrNew(value.data(), (int32_t)value.size())); }

void Log(const std::string& line) { DebugWrite(line.c_str()); }

bool WorkerDone(Job* j) { return !j->Thread || WaitForSingleObject(j->Thread, 0) == WAIT_OBJECT_0; }

static void FreeRecords(Job* j) {
  EnterCriticalSection(&j->Lock);
  SvArray list = j->FileList;
  j->FileList = nullptr;
  LeaveCriticalSection(&j->Lock);
  for (int32_t i = 0; i < sv::ArrayLen(list); ++i) {
    auto* rec = (TSVNetFileListRec*)(intptr_t)list[i];
    if (!rec) continue;
    sv::Release(rec->Name);
    sv::Release(rec->Path);
    sv::Release(rec->Host);
    sv::Release(rec->ETag);
    HeapFree(GetProcessHeap(), 0, rec);
  }
  sv::Release(list);
}

void FinalizeJob(Job* j) {
  if (j->Thread) CloseHandle(j->Thread);
  j->Thread = nullptr;
  delete j->Client;
  j->Client = nullptr;
  delete j->OwnForm;
  j->OwnForm = nullptr;
  if (j->FileStream && j->FileStream != INVALID_HANDLE_VALUE) CloseHandle(j->FileStream);
  j->FileStream = nullptr;
  if (sv::Length(j->LocalFile) > 0) {
    SVDeleteFile(j->LocalFile);
    SetStr(&j->LocalFile, "");
  }
  SetStr(&j->ReadStr, "");
  FreeRecords(j);
  j->State = SVNET_IDLE;
}

void AbortJob(Job* j) {
  if (!j || WorkerDone(j)) return;
  j->State = SVNET_FAILED;
  SetEvent(j->StopEvent);
  EnterCriticalSection(&j->ClientLock);
  if (j->Client) j->Client->Disconnect();
  LeaveCriticalSection(&j->ClientLock);
}

}  // namespace svnet

namespace {

Job* Get(void** job) { return job ? (Job*)*job : nullptr; }

void ReleaseParams(TSVNetParams* p) {
  SvStr* strs[] = {&p->Path, &p->Host, &p->Files, &p->LocalDir, &p->UploadFile, &p->Tag};
  for (SvStr* s : strs) sv::StrPut(s, nullptr);
}

// A new string of the text argument (read up to its zero byte).
SvStr Copy(const char* text) { return text && *text ? sv::StrFromC(text) : nullptr; }

std::string FolderWithSlash(std::string folder) {
  if (folder.empty()) return folder;
  folder = Replace(folder, "/", "\\");
  if (folder.back() != '\\') folder += '\\';
  return folder;
}

int32_t InitEx(Job* j, const TSVNetParams& params) {
  if (!WorkerDone(j)) return 4;
  FinalizeJob(j);
  EnterCriticalSection(&j->Lock);
  j->ReadTotal = j->WriteTotal = j->ReadCurrent = j->WriteCurrent = 0;
  j->FileIndex = 0;
  LeaveCriticalSection(&j->Lock);
  j->ResultCode = 0;
  if (params.Size != 48) return 2;
  // The job's own copies of the caller's texts, made before the old ones go
  // (a caller may pass a text that the job itself holds).
  TSVNetParams copy = params;
  SvStr* strs[] = {&copy.Path, &copy.Host, &copy.Files, &copy.LocalDir, &copy.UploadFile, &copy.Tag};
  for (SvStr* s : strs) *s = Copy(*s);
  ReleaseParams(&j->p);
  j->p = copy;
  if (j->p.Timeout == 0) j->p.Timeout = 200000000;
  if (j->p.ResetHost) {
    EnterCriticalSection(&j->Lock);
    SetStr(&j->LastHost, "");
    LeaveCriticalSection(&j->Lock);
  }
  j->State = SVNET_READY;
  return 0;
}

void StopJob(Job* j) {
  if (j->Thread && !WorkerDone(j)) {
    AbortJob(j);
    const std::string tail = "#" + HandleText(j->Thread) + " [" + MethodName(j->p.Method) + "]";
    if (WaitForSingleObject(j->Thread, 10000) != WAIT_OBJECT_0) {
      TerminateThread(j->Thread, 1);
      WaitForSingleObject(j->Thread, 1000);
      Log("~~Terminate " + tail);
    } else {
      Log("~~Disconnect " + tail);
    }
  }
  if (j->Thread && WorkerDone(j)) FinalizeJob(j);
}

bool Ready(Job* j) { return j && j->State == SVNET_READY && WorkerDone(j); }

}  // namespace

SV_EXPORT int32_t SVAPI SVNetCreateEx(void** job) {
  return sv::Guard<int32_t>(1, [&] {
    if (!job) return 1;
    *job = nullptr;
    auto* j = (Job*)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(Job));
    if (!j) return 1;
    j->p.AutoExtract = 1;
    InitializeCriticalSection(&j->Lock);
    InitializeCriticalSection(&j->ClientLock);
    j->StopEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    *job = j;
    return 0;
  });
}

SV_EXPORT int32_t SVAPI SVNetCreate(void** job) { return SVNetCreateEx(job); }

SV_EXPORT int32_t SVAPI SVNetInitEx(void** job, TSVNetParams params) {
  return sv::Guard<int32_t>(3, [&] {
    Job* j = Get(job);
    return j ? InitEx(j, params) : 3;
  });
}

SV_EXPORT void SVAPI SVNetInit(void** job, int32_t timeout, const char* tag) {
  sv::GuardVoid([&] {
    Job* j = Get(job);
    if (!j) return;
    TSVNetParams p = {};
    p.Size = 48;
    p.AutoExtract = j->p.AutoExtract;
    p.Timeout = timeout;
    p.Tag = (SvStr)tag;  // copied by the init
    InitEx(j, p);
  });
}

SV_EXPORT void SVAPI SVNetInitUpload(void** job, SvBool pack, const char* tag) {
  sv::GuardVoid([&] {
    Job* j = Get(job);
    if (!j || !WorkerDone(j)) return;
    SVNetInit(job, 0, tag);
    j->p.ZipUpload = pack ? 1 : 0;
  });
}

SV_EXPORT int32_t SVAPI SVNetRun(void** job) {
  return sv::Guard<int32_t>(3, [&]() -> int32_t {
    Job* j = Get(job);
    if (!j) return 3;
    if (j->State != SVNET_READY || !WorkerDone(j)) return 4;
    TSVNetParams& p = j->p;
    if (p.Method == SVNET_NONE || sv::Length(p.Path) == 0) return 2;
    if (p.HostMode == SVNET_HOSTS_EXPLICIT && sv::Length(p.Host) == 0) p.HostMode = SVNET_HOSTS_AUTO;
    if (p.HostMode == SVNET_HOSTS_AUTO) {
      bool source = (p.Method == SVNET_GET && sv::Length(p.LocalDir) > 0 && sv::Length(p.Files) > 0) ||
                    p.Method == SVNET_HEAD || p.Method == SVNET_PREV206;
      p.HostMode = source ? SVNET_HOSTS_SOURCE : SVNET_HOSTS_SCRIPT;
    }
    std::string path = S(p.Path);
    if (path[0] != '/') path = "/" + path;
    if (sv::Length(p.Files) > 0) {
      if (path.back() != '/') path += "/";
      std::string files = S(p.Files);
      files = Replace(files, "//", "\\");
      files = Replace(files, "/", "\t");
      files = Replace(files, "\\", "/");
      SetStr(&p.Files, files);
    }
    SetStr(&p.Path, path);
    if (sv::Length(p.LocalDir) > 0) SetStr(&p.LocalDir, FolderWithSlash(S(p.LocalDir)));
    if (p.Method == SVNET_POST || p.Method == SVNET_POSTORGET) {
      Form* form = (Form*)p.FormStream;
      if (!form) form = j->OwnForm = new Form();
      SvStr ver = nullptr, num = nullptr, id = nullptr;
      GetProgVersionStr(&ver);
      GetProgramNum(&num);
      GetProgramId(&id);
      char serial[16];
      std::snprintf(serial, sizeof serial, "%lu", (unsigned long)SVGetDriveSerial(""));
      form->AddField("svvn", S(ver));
      form->AddField("svnn", S(num));
      form->AddField("svin", S(id));
      SvStr serialText = sv::StrFromC(serial);
      SvStr machine = MD5(serialText);
      form->AddField("svdn", S(machine));
      sv::Release(ver), sv::Release(num), sv::Release(id), sv::Release(serialText), sv::Release(machine);
    }
    ResetEvent(j->StopEvent);
    j->State = SVNET_RUNNING;
    HANDLE t = CreateThread(nullptr, 0, JobWorker, j, CREATE_SUSPENDED, nullptr);
    if (!t) {
      j->State = SVNET_FAILED;
      return 0;
    }
    j->Thread = t;
    ResumeThread(t);
    return 0;
  });
}

namespace {

template <class F>
void Shortcut(void** job, int method, int autoMode, F setup) {
  sv::GuardVoid([&] {
    Job* j = Get(job);
    if (!Ready(j)) return;
    j->p.Method = (uint8_t)method;
    if (j->p.HostMode == SVNET_HOSTS_AUTO) j->p.HostMode = (uint8_t)autoMode;
    SetStr(&j->p.LocalDir, "");
    j->p.Resume = 0;
    setup(j);
    SVNetRun(job);
  });
}

}  // namespace

SV_EXPORT void SVAPI SVNetRunQuery(void** job, const char* path) {
  Shortcut(job, SVNET_POSTORGET, SVNET_HOSTS_SCRIPT, [&](Job* j) { SetStr(&j->p.Path, std::string(sv::Text(path))); });
}

SV_EXPORT void SVAPI SVNetRunPostQuery(void** job, const char* path, void* form) {
  Shortcut(job, SVNET_POST, SVNET_HOSTS_SCRIPT, [&](Job* j) {
    SetStr(&j->p.Path, std::string(sv::Text(path)));
    j->p.FormStream = form;
  });
}

SV_EXPORT void SVAPI SVNetRunSizeQuery(void** job, const char* path, const char* files) {
  Shortcut(job, SVNET_HEAD, SVNET_HOSTS_SOURCE, [&](Job* j) {
    SetStr(&j->p.Path, std::string(sv::Text(path)));
    SetStr(&j->p.Files, std::string(sv::Text(files)));
  });
}

SV_EXPORT void SVAPI SVNetRunDownload(void** job, const char* localDir, const char* path, const char* files) {
  Shortcut(job, SVNET_GET, SVNET_HOSTS_SOURCE, [&](Job* j) {
    SetStr(&j->p.Path, std::string(sv::Text(path)));
    SetStr(&j->p.Files, std::string(sv::Text(files)));
    SetStr(&j->p.LocalDir, std::string(sv::Text(localDir)));
  });
}

SV_EXPORT void SVAPI SVNetRunUpload(void** job, const char* localDir, const char* path, const char* fileName) {
  Shortcut(job, SVNET_POST, SVNET_HOSTS_SCRIPT, [&](Job* j) {
    SetStr(&j->p.Path, std::string(sv::Text(path)));
    SetStr(&j->p.UploadFile, FolderWithSlash(std::string(sv::Text(localDir))) + std::string(sv::Text(fileName)));
    j->p.LogReply = 1;
  });
}

SV_EXPORT SvBool SVAPI SVNetIsDone(void** job) {
  return sv::Guard<SvBool>(1, [&]() -> SvBool {
    Job* j = Get(job);
    return !j || WorkerDone(j) ? 1 : 0;
  });
}

SV_EXPORT SvBool SVAPI SVNetIsCorrect(void** job) {
  return sv::Guard<SvBool>(0, [&]() -> SvBool {
    Job* j = Get(job);
    return j && WorkerDone(j) && j->State == SVNET_SUCCEEDED ? 1 : 0;
  });
}

SV_EXPORT int32_t SVAPI SVNetGetResultCode(void** job) {
  return sv::Guard<int32_t>(0, [&]() -> int32_t {
    Job* j = Get(job);
    return j && WorkerDone(j) ? j->ResultCode : 0;
  });
}

SV_EXPORT void SVAPI SVNetGetReadStr(SvStr* out, void** job) {
  sv::GuardVoid([&] {
    SvStr value = nullptr;
    if (SVNetIsCorrect(job)) {
      value = Get(job)->ReadStr;
      sv::AddRef(value);
    }
    sv::StrPut(out, value);
  });
}

SV_EXPORT int32_t SVAPI SVNetGetReadLengt(void** job) {
  return sv::Guard<int32_t>(0, [&]() -> int32_t {
    Job* j = Get(job);
    if (!j) return 0;
    EnterCriticalSection(&j->Lock);
    int32_t v = j->ReadTotal + j->ReadCurrent;
    LeaveCriticalSection(&j->Lock);
    return v;
  });
}

SV_EXPORT int32_t SVAPI SVNetGetWriteLength(void** job) {
  return sv::Guard<int32_t>(0, [&]() -> int32_t {
    Job* j = Get(job);
    if (!j) return 0;
    EnterCriticalSection(&j->Lock);
    int32_t v = j->WriteTotal + j->WriteCurrent;
    LeaveCriticalSection(&j->Lock);
    return v;
  });
}

SV_EXPORT void SVAPI SVNetGetPath(SvStr* out, void** job) {
  sv::GuardVoid([&] {
    Job* j = Get(job);
    std::string path;
    if (j) {
      EnterCriticalSection(&j->Lock);
      if (sv::Length(j->LastHost) > 0) path = "http://" + S(j->LastHost) + "/";
      LeaveCriticalSection(&j->Lock);
    }
    sv::PutStr(out, path);
  });
}

SV_EXPORT SvBool SVAPI SVNetGetPos(void** job, int32_t* index, int32_t* position) {
  return sv::Guard<SvBool>(0, [&]() -> SvBool {
    if (index) *index = 0;
    if (position) *position = 0;
    Job* j = Get(job);
    if (!j || WorkerDone(j)) return 0;
    EnterCriticalSection(&j->Lock);
    int32_t i = j->FileIndex, offset = 0;
    if (i >= 0 && i < sv::ArrayLen(j->FileList)) offset = ((TSVNetFileListRec*)(intptr_t)j->FileList[i])->Offset;
    if (index) *index = i;
    if (position) *position = offset + j->ReadCurrent;
    LeaveCriticalSection(&j->Lock);
    return 1;
  });
}

SV_EXPORT int32_t SVAPI SVNetFilesCount(void** job) {
  return sv::Guard<int32_t>(0, [&]() -> int32_t {
    return SVNetIsCorrect(job) ? sv::ArrayLen(Get(job)->FileList) : 0;
  });
}

SV_EXPORT void SVAPI SVNetFilesArray(SvArray* out, void** job) {
  sv::GuardVoid([&] {
    SvArray value = nullptr;
    if (SVNetIsCorrect(job)) {
      value = Get(job)->FileList;
      sv::AddRef(value);
    }
    if (!out) {
      sv::Release(value);
      return;
    }
    SvArray old = *out;
    *out = value;
    sv::Release(old);
  });
}

SV_EXPORT SvBool SVAPI SVNetGetFile(void** job, int32_t index, TSVNetFileListRec* out) {
  return sv::Guard<SvBool>(0, [&]() -> SvBool {
    if (!out || !SVNetIsCorrect(job)) return 0;
    Job* j = Get(job);
    if (index < 0 || index >= sv::ArrayLen(j->FileList)) return 0;
    *out = *(TSVNetFileListRec*)(intptr_t)j->FileList[index];
    sv::AddRef(out->Name), sv::AddRef(out->Path), sv::AddRef(out->Host), sv::AddRef(out->ETag);
    return 1;
  });
}

SV_EXPORT void SVAPI SVNetSetHost(void** job, const char* host) {
  sv::GuardVoid([&] {
    Job* j = Get(job);
    if (!j) return;
    SetStr(&j->p.Host, std::string(sv::Text(host)));
    j->p.HostMode = sv::Length(j->p.Host) > 0 ? SVNET_HOSTS_EXPLICIT : SVNET_HOSTS_AUTO;
  });
}

SV_EXPORT void SVAPI SVNetSetAutoExtr(void** job, SvBool flag) {
  sv::GuardVoid([&] {
    Job* j = Get(job);
    if (j && WorkerDone(j)) j->p.AutoExtract = flag ? 1 : 0;
  });
}

SV_EXPORT void SVAPI SVNetChangeSleep(void** job, uint16_t milliseconds) {
  sv::GuardVoid([&] {
    Job* j = Get(job);
    if (j) j->p.Pause = milliseconds;
  });
}

SV_EXPORT void SVAPI SVNetStop(void** job) {
  sv::GuardVoid([&] {
    Job* j = Get(job);
    if (!j) return;
    StopJob(j);
    if (WorkerDone(j)) FinalizeJob(j);
  });
}

SV_EXPORT void SVAPI SVNetFinalize(void** job) {
  sv::GuardVoid([&] {
    Job* j = Get(job);
    if (j && WorkerDone(j)) FinalizeJob(j);
  });
}

SV_EXPORT void SVAPI SVNetDestroy(void** job) {
  sv::GuardVoid([&] {
    Job* j = Get(job);
    if (!j) return;
    SVNetStop(job);
    ReleaseParams(&j->p);
    sv::Release(j->LastHost);
    sv::Release(j->ReadStr);
    sv::Release(j->LocalFile);
    CloseHandle(j->StopEvent);
    DeleteCriticalSection(&j->ClientLock);
    DeleteCriticalSection(&j->Lock);
    HeapFree(GetProcessHeap(), 0, j);
    *job = nullptr;
  });
}
