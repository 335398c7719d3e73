#include "jobs/request.h"

#include <cstdio>
#include <memory>

#include "SolvikaUtils.h"
#include "debug_log.h"
#include "jobs/file_sink.h"
#include "jobs/packing.h"
#include "nettext.h"
#include "svstring.h"
#include "wide.h"

namespace svnet {

namespace {

constexpr size_t kGatherBytes = 1 << 20;  // file writes without a speed brake
constexpr int kHttpMethodNotAllowed = 405;
constexpr int kNoContentLength = -1;
constexpr char kZipSuffix[] = ".ZIP";
constexpr size_t kZipSuffixLength = sizeof kZipSuffix - 1;
constexpr char kUnpackMask[] = "*.*";
constexpr size_t kReplyRuleLength = 79;

// The state of one request.
struct Transfer {
  int64_t offset = 0;  // where the local file continues (0: from its start)
  HANDLE file = INVALID_HANDLE_VALUE;  // the local file, when there is one
  bool HasFile() const { return file != INVALID_HANDLE_VALUE; }
  std::string localFile;
  HttpResponse response;
  int status = 0;
  std::unique_ptr<BodySink> sink;
  int64_t received = 0;
};

void StoreResult(Run& run, TSVNetFileListRec* rec, int32_t code) {
  run.job->resultCode = code;
  rec->ResultCode = code;
}

int64_t FilePosition(HANDLE h) {
  LARGE_INTEGER zero = {}, pos = {};
  if (!SetFilePointerEx(h, zero, &pos, FILE_CURRENT)) return -1;
  return pos.QuadPart;
}

int64_t FileSizeOnDisk(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA d;
  if (!GetFileAttributesExW(sv::Wide(path).c_str(), GetFileExInfoStandard, &d)) return -1;
  return ((int64_t)d.nFileSizeHigh << 32) | d.nFileSizeLow;
}

HANDLE OpenShared(const std::wstring& path, DWORD disposition) {
  return CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                     disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Opens an existing local file that holds at least `offset` bytes and
// positions it there; bytes beyond the offset are dropped (they are fetched
// again). False when there is nothing to continue from.
HANDLE OpenForResume(const std::string& path, int64_t offset) {
  if (offset <= 0 || FileSizeOnDisk(path) < offset) return INVALID_HANDLE_VALUE;
  HANDLE file = OpenShared(sv::Wide(path), OPEN_EXISTING);
  if (file == INVALID_HANDLE_VALUE) return file;
  LARGE_INTEGER at;
  at.QuadPart = offset;
  if (SetFilePointerEx(file, at, nullptr, FILE_BEGIN) && SetEndOfFile(file)) return file;
  CloseHandle(file);
  return INVALID_HANDLE_VALUE;
}

// The local file of a download (LocalDir set and a file name): continued
// from the offset when possible, else created empty. False when it cannot be
// opened or created.
bool OpenLocalFile(Run& run, TSVNetFileListRec* rec, Transfer* t) {
  if (run.localDir.empty() || sv::Length(rec->Name) == 0) return true;
  t->localFile = run.localDir + sv::Copy(rec->Name);
  t->file = OpenForResume(t->localFile, t->offset);
  if (!t->HasFile()) {
    t->offset = 0;  // nothing (or too little) to continue from: the whole file is fetched
    t->file = OpenShared(sv::Wide(t->localFile), CREATE_ALWAYS);
  }
  if (!t->HasFile()) return false;
  run.job->fileStream = t->file;
  sv::PutStr(&run.job->localFile, t->localFile);
  return true;
}

HttpRequest BuildRequest(Run& run, TSVNetFileListRec* rec, const std::string& host, int64_t offset) {
  const int method = run.job->params.Method;
  HttpRequest req;
  req.url = "http://" + host + run.path + sv::Copy(rec->Path);
  if (offset > 0) req.rangeStart = offset;
  if (method == SVNET_POST || method == SVNET_POSTORGET) {
    req.method = "POST";
    req.body = run.form->Body();
    req.contentType = run.form->ContentType();
  } else if (method == SVNET_HEAD || method == SVNET_PREV206) {
    req.method = "HEAD";
    if (method == SVNET_PREV206) req.rangeStart = 1, req.rangeEnd = 1;
  }
  return req;
}

// Sends `req` into a new sink (the local file or memory).
void Perform(Run& run, TSVNetFileListRec* rec, const HttpRequest& req, Transfer* t) {
  if (t->HasFile()) t->sink.reset(new FileSink(t->file, t->offset, run.job->params.Pause ? 0 : kGatherBytes));
  else t->sink.reset(new MemorySink());
  t->status = run.client->Execute(req, t->sink.get(), &t->response);
  if (!t->HasFile()) return;
  auto* fs = static_cast<FileSink*>(t->sink.get());
  if (!fs->Flush() && t->status >= 0) t->status = kSinkFailed;
  if (fs->Restarted()) {
    t->offset = 0;
    rec->Offset = 0;
  }
}

// The request, and for POSTorGET a GET of the same URL when the POST is
// answered with 405.
void Send(Run& run, TSVNetFileListRec* rec, const HttpRequest& req, Transfer* t) {
  Perform(run, rec, req, t);
  if (run.job->params.Method != SVNET_POSTORGET || t->status != kHttpMethodNotAllowed) return;
  HttpRequest get = req;
  get.method = "GET";
  get.body.clear();
  get.contentType.clear();
  Perform(run, rec, get, t);
}

// Bytes the file reached: the announced length for HEAD, the file position,
// or the reply held in memory (which becomes the job's ReadStr).
int64_t ReceivedCount(Run& run, const HttpRequest& req, Transfer* t) {
  if (req.method == "HEAD") return t->response.contentLength;
  if (t->HasFile()) return FilePosition(t->file);
  const std::string& text = static_cast<MemorySink*>(t->sink.get())->text;
  sv::PutStr(&run.job->readStr, text);
  return (int64_t)text.size() + t->offset;
}

void LogNumber(int64_t value) {
  char line[32];
  std::snprintf(line, sizeof line, "%lld", (long long)value);
  Log(line);
}

// A 2xx reply of a running job: checks the length against Content-Length
// and stores the results. True when the length is right.
bool StoreReply(Run& run, TSVNetFileListRec* rec, const std::string& host, const HttpRequest& req, Transfer* t) {
  Job* j = run.job;
  const HttpResponse& resp = t->response;
  t->received = ReceivedCount(run, req, t);
  const bool ok = resp.contentLength == kNoContentLength ||
                  (t->received >= 0 && t->received == resp.contentLength + t->offset);
  LogNumber(resp.contentLength);
  LogNumber(t->received);
  StoreResult(run, rec, ok ? t->status : SVNET_RESULT_BAD_LENGTH);
  rec->Bytes = (int32_t)t->received;
  sv::PutStr(&rec->Host, host);
  const std::string* etag = resp.headers.Find("ETag");
  sv::PutStr(&rec->ETag, etag ? *etag : std::string());
  const std::string* lastModified = resp.headers.Find("Last-Modified");
  double when = 0;
  rec->LastModified = lastModified && ParseHttpDate(*lastModified, &when) ? when : 0;
  sv::Lock hold(j->lock);
  j->readTotal += (int32_t)t->received;
  j->writeTotal += (int32_t)req.body.size();
  j->readCurrent = 0;
  j->writeCurrent = 0;
  return ok;
}

bool IsZipName(const std::string& path) {
  return path.size() >= kZipSuffixLength && UpCase(path.substr(path.size() - kZipSuffixLength)) == kZipSuffix;
}

// Closes the local file. A success whose file on disk differs from the
// received length fails with -2; a zip is unpacked (AutoExtract); a failure
// without Resume deletes the file. Returns the final success.
bool FinishLocalFile(Run& run, TSVNetFileListRec* rec, Transfer* t, bool ok) {
  Job* j = run.job;
  j->fileStream = nullptr;  // a stop that kills the worker from here on finds nothing to close
  CloseHandle(t->file);
  t->file = INVALID_HANDLE_VALUE;
  if (ok && t->response.contentLength != kNoContentLength) {
    const int64_t onDisk = FileSizeOnDisk(t->localFile);
    if (onDisk >= 0 && onDisk != t->received) {
      ok = false;
      StoreResult(run, rec, SVNET_RESULT_BAD_LENGTH);
    }
  }
  if (ok && j->params.AutoExtract && IsZipName(t->localFile)) {
    if (UnpackFiles(t->localFile, run.localDir, kUnpackMask) == 0) SVDeleteFile(t->localFile.c_str());
  }
  if (!ok && !j->params.Resume) SVDeleteFile(t->localFile.c_str());
  sv::PutStr(&j->localFile, "");
  return ok;
}

void LogReplyText(Run& run) {
  const std::string rule(kReplyRuleLength, '#');
  Log("~Result #" + run.handle + "\r\n\r\n" + rule + "\r\n" + sv::Copy(run.job->readStr) + "\r\n" + rule + "\r\n");
}

}  // namespace

bool Request(Run& run, TSVNetFileListRec* rec, const std::string& host) {
  Job* j = run.job;
  Transfer t;
  const bool resumeGet = j->params.Method == SVNET_GET && j->params.Resume;
  t.offset = resumeGet && rec->Offset > 0 ? rec->Offset : 0;
  if (!OpenLocalFile(run, rec, &t)) {
    StoreResult(run, rec, SVNET_RESULT_LOCAL_FILE);
    return false;
  }
  rec->Offset = (int32_t)t.offset;
  const HttpRequest req = BuildRequest(run, rec, host, t.offset);
  Send(run, rec, req, &t);
  bool ok = false;
  if (Is2xx(t.status) && j->state == SVNET_RUNNING) {
    ok = StoreReply(run, rec, host, req, &t);
  } else {
    // No usable reply: the status the client saw last (an error status, or a
    // negative code when the transfer itself broke).
    StoreResult(run, rec, t.status != 0 ? t.status : run.client->LastStatus());
  }
  if (t.HasFile()) return FinishLocalFile(run, rec, &t, ok);
  if (ok && j->params.LogReply) LogReplyText(run);
  return ok;
}

}  // namespace svnet
