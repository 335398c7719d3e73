// Exports of the HTTP job engine. Every job argument is the address of the
// caller's handle variable.
#include "SolvikaNet.h"
#include "guard.h"
#include "jobs/file_list.h"
#include "jobs/job_control.h"
#include "svstring.h"

using namespace svnet;

namespace {

Job* Get(void** job) { return job ? (Job*)*job : nullptr; }

bool Ready(Job* j) { return j && j->state == SVNET_READY && WorkerDone(j); }

// The run shortcuts: only for a ready job; method, the host mode when it is
// automatic, no local folder, no resume, then `setup`, then the run.
template <class F>
void Shortcut(void** job, int method, int autoMode, F setup) {
  sv::GuardVoid([&] {
    Job* j = Get(job);
    if (!Ready(j)) return;
    j->params.Method = (uint8_t)method;
    if (j->params.HostMode == SVNET_HOSTS_AUTO) j->params.HostMode = (uint8_t)autoMode;
    sv::PutStr(&j->params.LocalDir, "");
    j->params.Resume = 0;
    setup(j);
    SVNetRun(job);
  });
}

void PutText(SvStr* field, const char* text) { sv::PutStr(field, sv::Text(text)); }

int32_t ReadCounters(void** job, int32_t Job::*total, int32_t Job::*current) {
  Job* j = Get(job);
  if (!j) return 0;
  sv::Lock hold(j->lock);
  return j->*total + j->*current;
}

}  // namespace

SVNET_API int32_t SVAPI SVNetCreateEx(void** job) {
  return sv::Guard<int32_t>(SVNET_ERR_NO_MEMORY, [&]() -> int32_t {
    if (!job) return SVNET_ERR_NO_MEMORY;
    *job = CreateJob();
    return *job ? SVNET_OK : SVNET_ERR_NO_MEMORY;
  });
}

SVNET_API int32_t SVAPI SVNetCreate(void** job) { return SVNetCreateEx(job); }

SVNET_API int32_t SVAPI SVNetInitEx(void** job, TSVNetParams params) {
  return sv::Guard<int32_t>(SVNET_ERR_NO_JOB, [&] {
    Job* j = Get(job);
    return j ? InitJob(j, params) : SVNET_ERR_NO_JOB;
  });
}

SVNET_API void SVAPI SVNetInit(void** job, int32_t timeout, const char* tag) {
  sv::GuardVoid([&] {
    Job* j = Get(job);
    if (!j) return;
    TSVNetParams p = {};
    p.Size = sizeof(TSVNetParams);
    p.AutoExtract = j->params.AutoExtract;
    p.Timeout = timeout;
    p.Tag = (SvStr)tag;  // copied by the init
    InitJob(j, p);
  });
}

SVNET_API void SVAPI SVNetInitUpload(void** job, SvBool pack, const char* tag) {
  sv::GuardVoid([&] {
    Job* j = Get(job);
    if (!j || !WorkerDone(j)) return;
    SVNetInit(job, 0, tag);
    j->params.ZipUpload = pack ? 1 : 0;
  });
}

SVNET_API int32_t SVAPI SVNetRun(void** job) {
  return sv::Guard<int32_t>(SVNET_ERR_NO_JOB, [&]() -> int32_t {
    Job* j = Get(job);
    if (!j) return SVNET_ERR_NO_JOB;
    if (j->state != SVNET_READY || !WorkerDone(j)) return SVNET_ERR_STATE;
    if (j->params.Method == SVNET_NONE || sv::Length(j->params.Path) == 0) return SVNET_ERR_PARAMS;
    StartRun(j);
    return SVNET_OK;
  });
}

SVNET_API void SVAPI SVNetRunQuery(void** job, const char* path) {
  Shortcut(job, SVNET_POSTORGET, SVNET_HOSTS_SCRIPT, [&](Job* j) { PutText(&j->params.Path, path); });
}

SVNET_API void SVAPI SVNetRunPostQuery(void** job, const char* path, void* form) {
  Shortcut(job, SVNET_POST, SVNET_HOSTS_SCRIPT, [&](Job* j) {
    PutText(&j->params.Path, path);
    j->params.FormStream = form;
  });
}

SVNET_API void SVAPI SVNetRunSizeQuery(void** job, const char* path, const char* files) {
  Shortcut(job, SVNET_HEAD, SVNET_HOSTS_SOURCE, [&](Job* j) {
    PutText(&j->params.Path, path);
    PutText(&j->params.Files, files);
  });
}

SVNET_API void SVAPI SVNetRunDownload(void** job, const char* localDir, const char* path, const char* files) {
  Shortcut(job, SVNET_GET, SVNET_HOSTS_SOURCE, [&](Job* j) {
    PutText(&j->params.Path, path);
    PutText(&j->params.Files, files);
    PutText(&j->params.LocalDir, localDir);
  });
}

SVNET_API void SVAPI SVNetRunUpload(void** job, const char* localDir, const char* path, const char* fileName) {
  Shortcut(job, SVNET_POST, SVNET_HOSTS_SCRIPT, [&](Job* j) {
    PutText(&j->params.Path, path);
    sv::PutStr(&j->params.UploadFile, FolderWithSlash(std::string(sv::Text(localDir))) + std::string(sv::Text(fileName)));
    j->params.LogReply = 1;
  });
}

SVNET_API SvBool SVAPI SVNetIsDone(void** job) {
  return sv::Guard<SvBool>(1, [&]() -> SvBool {
    Job* j = Get(job);
    return !j || WorkerDone(j) ? 1 : 0;
  });
}

SVNET_API SvBool SVAPI SVNetIsCorrect(void** job) {
  return sv::Guard<SvBool>(0, [&]() -> SvBool {
    Job* j = Get(job);
    return j && WorkerDone(j) && j->state == SVNET_SUCCEEDED ? 1 : 0;
  });
}

SVNET_API int32_t SVAPI SVNetGetResultCode(void** job) {
  return sv::Guard<int32_t>(0, [&]() -> int32_t {
    Job* j = Get(job);
    return j && WorkerDone(j) ? j->resultCode : 0;
  });
}

SVNET_API void SVAPI SVNetGetReadStr(SvStr* out, void** job) {
  sv::GuardVoid([&] {
    SvStr value = nullptr;
    if (SVNetIsCorrect(job)) {
      value = Get(job)->readStr;
      sv::AddRef(value);
    }
    sv::StrPut(out, value);
  });
}

SVNET_API int32_t SVAPI SVNetGetReadLengt(void** job) {
  return sv::Guard<int32_t>(0, [&] { return ReadCounters(job, &Job::readTotal, &Job::readCurrent); });
}

SVNET_API int32_t SVAPI SVNetGetWriteLength(void** job) {
  return sv::Guard<int32_t>(0, [&] { return ReadCounters(job, &Job::writeTotal, &Job::writeCurrent); });
}

SVNET_API void SVAPI SVNetGetPath(SvStr* out, void** job) {
  sv::GuardVoid([&] {
    Job* j = Get(job);
    std::string path;
    if (j) {
      sv::Lock hold(j->lock);
      if (sv::Length(j->lastHost) > 0) path = "http://" + sv::Copy(j->lastHost) + "/";
    }
    sv::PutStr(out, path);
  });
}

SVNET_API SvBool SVAPI SVNetGetPos(void** job, int32_t* index, int32_t* position) {
  return sv::Guard<SvBool>(0, [&]() -> SvBool {
    if (index) *index = 0;
    if (position) *position = 0;
    Job* j = Get(job);
    if (!j || WorkerDone(j)) return 0;
    sv::Lock hold(j->lock);
    const int32_t i = j->fileIndex;
    const int32_t offset = i >= 0 && i < sv::ArrayLen(j->fileList) ? FileRecord(j->fileList, i)->Offset : 0;
    if (index) *index = i;
    if (position) *position = offset + j->readCurrent;
    return 1;
  });
}

SVNET_API int32_t SVAPI SVNetFilesCount(void** job) {
  return sv::Guard<int32_t>(0, [&]() -> int32_t {
    return SVNetIsCorrect(job) ? sv::ArrayLen(Get(job)->fileList) : 0;
  });
}

SVNET_API void SVAPI SVNetFilesArray(SvArray* out, void** job) {
  sv::GuardVoid([&] {
    SvArray value = nullptr;
    if (SVNetIsCorrect(job)) {
      value = Get(job)->fileList;
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

SVNET_API SvBool SVAPI SVNetGetFile(void** job, int32_t index, TSVNetFileListRec* out) {
  return sv::Guard<SvBool>(0, [&]() -> SvBool {
    if (!out || !SVNetIsCorrect(job)) return 0;
    Job* j = Get(job);
    if (index < 0 || index >= sv::ArrayLen(j->fileList)) return 0;
    *out = *FileRecord(j->fileList, index);
    sv::AddRef(out->Name), sv::AddRef(out->Path), sv::AddRef(out->Host), sv::AddRef(out->ETag);
    return 1;
  });
}

SVNET_API void SVAPI SVNetSetHost(void** job, const char* host) {
  sv::GuardVoid([&] {
    Job* j = Get(job);
    if (!j) return;
    PutText(&j->params.Host, host);
    j->params.HostMode = sv::Length(j->params.Host) > 0 ? SVNET_HOSTS_EXPLICIT : SVNET_HOSTS_AUTO;
  });
}

SVNET_API void SVAPI SVNetSetAutoExtr(void** job, SvBool flag) {
  sv::GuardVoid([&] {
    Job* j = Get(job);
    if (j && WorkerDone(j)) j->params.AutoExtract = flag ? 1 : 0;
  });
}

SVNET_API void SVAPI SVNetChangeSleep(void** job, uint16_t milliseconds) {
  sv::GuardVoid([&] {
    Job* j = Get(job);
    if (j) j->params.Pause = milliseconds;
  });
}

SVNET_API void SVAPI SVNetStop(void** job) {
  sv::GuardVoid([&] {
    Job* j = Get(job);
    if (j) StopJob(j);
  });
}

SVNET_API void SVAPI SVNetFinalize(void** job) {
  sv::GuardVoid([&] {
    Job* j = Get(job);
    if (j && WorkerDone(j)) FinalizeJob(j);
  });
}

SVNET_API void SVAPI SVNetDestroy(void** job) {
  sv::GuardVoid([&] {
    Job* j = Get(job);
    if (!j) return;
    SVNetStop(job);
    DestroyJob(j);
    *job = nullptr;
  });
}
