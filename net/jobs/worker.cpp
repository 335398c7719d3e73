// The worker thread of an HTTP job: builds the file list, uploads, and
// fetches every file from the first host that answers correctly.
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <vector>

#include "SolvikaUtils.h"
#include "job.h"
#include "nettext.h"
#include "wide.h"

namespace svnet {

namespace {

constexpr size_t kFastBlock = 64 * 1024;  // receive size without a speed brake
constexpr size_t kBrakeBlock = 1024;      // the grain of progress and brake

std::string UtilsText(void(SVAPI* fn)(SvStr*)) {
  SvStr out = nullptr;
  fn(&out);
  std::string s = S(out);
  sv::Release(out);
  return s;
}

void AddCount(Job* j, int32_t* field, int32_t value) {
  EnterCriticalSection(&j->Lock);
  *field = value;
  LeaveCriticalSection(&j->Lock);
}

bool Is2xx(int status) { return status >= 200 && status < 300; }

// Writes the body into the local file; drops the body of error replies. When
// a range was asked and the server sent the whole file (200), the file is
// written from its start instead of from the offset.
//
// Without a speed brake, blocks are gathered up to 1 MB per write: under Wine
// every file write costs tens of microseconds, which would otherwise halve a
// fast transfer. With a brake every block goes to the file as it comes.
class FileSink : public BodySink {
 public:
  FileSink(HANDLE h, int64_t offset, size_t gather) : h_(h), offset_(offset), gather_(gather) {}
  ~FileSink() override { Flush(); }
  bool Flush() {
    if (pending_.empty()) return true;
    DWORD done = 0;
    bool ok = WriteFile(h_, pending_.data(), (DWORD)pending_.size(), &done, nullptr) && done == pending_.size();
    pending_.clear();
    return ok;
  }
  bool Begin(const HttpResponse& r) override {
    if (!Is2xx(r.status)) return false;
    if (offset_ > 0 && r.status != 206) {
      LARGE_INTEGER zero = {};
      if (!SetFilePointerEx(h_, zero, nullptr, FILE_BEGIN) || !SetEndOfFile(h_)) return false;
      offset_ = 0;
      restarted = true;
    }
    return true;
  }
  bool Write(const char* data, size_t size) override {
    if (gather_ == 0) {
      DWORD done = 0;
      return WriteFile(h_, data, (DWORD)size, &done, nullptr) && done == size;
    }
    if (pending_.capacity() < gather_) pending_.reserve(gather_);
    pending_.insert(pending_.end(), data, data + size);
    return pending_.size() < gather_ || Flush();
  }
  bool restarted = false;

 private:
  HANDLE h_;
  int64_t offset_;
  size_t gather_;
  std::vector<char> pending_;
};

class MemorySink : public StringSink {
 public:
  bool Begin(const HttpResponse& r) override { return Is2xx(r.status); }
};

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

struct Run {
  Job* job;
  HttpClient* client;
  std::string handle;
  std::string path;  // the job's Path
  std::string localDir;
  Form* form = nullptr;
};

void StoreResult(Run& run, TSVNetFileListRec* rec, int32_t code) {
  run.job->ResultCode = code;
  rec->ResultCode = code;
}

// One request for one file record on one host.
bool Request(Run& run, TSVNetFileListRec* rec, const std::string& host) {
  Job* j = run.job;
  const int method = j->p.Method;
  const std::string url = "http://" + host + run.path + S(rec->Path);
  const bool resumeGet = method == SVNET_GET && j->p.Resume;
  int64_t offset = resumeGet ? rec->Offset : 0;
  if (offset < 0) offset = 0;

  // The local file.
  HANDLE file = INVALID_HANDLE_VALUE;
  std::string localFile;
  if (!run.localDir.empty() && sv::Length(rec->Name) > 0) {
    localFile = run.localDir + S(rec->Name);
    std::wstring wide = sv::Wide(localFile);
    bool append = false;
    if (offset > 0) {
      int64_t size = FileSizeOnDisk(localFile);
      if (size >= offset) {
        file = CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        LARGE_INTEGER at;
        at.QuadPart = offset;
        // Bytes beyond the offset are dropped: they are fetched again.
        append = file != INVALID_HANDLE_VALUE && SetFilePointerEx(file, at, nullptr, FILE_BEGIN) && SetEndOfFile(file);
        if (!append && file != INVALID_HANDLE_VALUE) CloseHandle(file), file = INVALID_HANDLE_VALUE;
      }
    }
    if (!append) {
      // Nothing (or too little) to continue from: the whole file is fetched.
      offset = 0;
      file = CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    if (file == INVALID_HANDLE_VALUE) {
      StoreResult(run, rec, -10);
      return false;
    }
    j->FileStream = file;
    SetStr(&j->LocalFile, localFile);
  }
  rec->Offset = (int32_t)offset;

  HttpRequest req;
  req.url = url;
  if (offset > 0) req.rangeStart = offset;
  std::string body;
  if (method == SVNET_POST || method == SVNET_POSTORGET) {
    req.method = "POST";
    req.body = run.form->Body();
    req.contentType = run.form->ContentType();
  } else if (method == SVNET_HEAD || method == SVNET_PREV206) {
    req.method = "HEAD";
    if (method == SVNET_PREV206) req.rangeStart = 1, req.rangeEnd = 1;
  }

  HttpResponse resp;
  int status = 0;
  int64_t received = 0;
  bool ok = false;
  std::unique_ptr<BodySink> sink;
  auto perform = [&](const HttpRequest& r) {
    if (file != INVALID_HANDLE_VALUE) sink.reset(new FileSink(file, offset, j->p.Pause ? 0 : 1 << 20));
    else sink.reset(new MemorySink());
    status = run.client->Execute(r, sink.get(), &resp);
    if (file != INVALID_HANDLE_VALUE) {
      auto* fs = static_cast<FileSink*>(sink.get());
      if (!fs->Flush() && status >= 0) status = kSinkFailed;
      if (fs->restarted) {
        offset = 0;
        rec->Offset = 0;
      }
    }
  };
  perform(req);
  if (method == SVNET_POSTORGET && status == 405) {
    HttpRequest get = req;
    get.method = "GET";
    get.body.clear();
    get.contentType.clear();
    perform(get);
  }
  if (Is2xx(status) && j->State == SVNET_RUNNING) {
    if (req.method == "HEAD") {
      received = resp.contentLength;
    } else if (file != INVALID_HANDLE_VALUE) {
      received = FilePosition(file);
    } else {
      std::string& text = static_cast<MemorySink*>(sink.get())->text;
      received = (int64_t)text.size() + offset;
      SetStr(&j->ReadStr, text);
    }
    ok = resp.contentLength == -1 || (received >= 0 && received == resp.contentLength + offset);
    char line[64];
    std::snprintf(line, sizeof line, "%lld", (long long)resp.contentLength);
    Log(line);
    std::snprintf(line, sizeof line, "%lld", (long long)received);
    Log(line);
    StoreResult(run, rec, ok ? status : -2);
    rec->Bytes = (int32_t)received;
    SetStr(&rec->Host, host);
    const std::string* etag = resp.headers.Find("ETag");
    SetStr(&rec->ETag, etag ? *etag : std::string());
    const std::string* lm = resp.headers.Find("Last-Modified");
    double when = 0;
    rec->LastModified = lm && ParseHttpDate(*lm, &when) ? when : 0;
    EnterCriticalSection(&j->Lock);
    j->ReadTotal += (int32_t)received;
    j->WriteTotal += (int32_t)req.body.size();
    j->ReadCurrent = 0;
    j->WriteCurrent = 0;
    LeaveCriticalSection(&j->Lock);
  } else {
    // No usable reply: the status the client saw last (an error status, or a
    // negative code when the transfer itself broke).
    StoreResult(run, rec, status != 0 ? status : run.client->LastStatus());
  }

  if (file != INVALID_HANDLE_VALUE) {
    CloseHandle(file);
    j->FileStream = nullptr;
    if (ok && resp.contentLength != -1) {
      int64_t onDisk = FileSizeOnDisk(localFile);
      if (onDisk >= 0 && onDisk != received) {
        ok = false;
        StoreResult(run, rec, -2);
      }
    }
    if (ok && j->p.AutoExtract && localFile.size() >= 4 &&
        UpCase(localFile.substr(localFile.size() - 4)) == ".ZIP") {
      if (UnpackFiles(localFile, run.localDir, "*.*") == 0) SVDeleteFile(localFile.c_str());
    }
    if (!ok && !j->p.Resume) SVDeleteFile(localFile.c_str());
    SetStr(&j->LocalFile, "");
  } else if (ok && j->p.LogReply) {
    const std::string rule(79, '#');
    Log("~Result #" + run.handle + "\r\n\r\n" + rule + "\r\n" + S(j->ReadStr) + "\r\n" + rule + "\r\n");
  }
  return ok;
}

void BuildFileList(Job* j) {
  std::string files = S(j->p.Files);
  std::vector<std::string> entries;
  if (files.empty()) {
    entries.push_back(std::string());
  } else {
    for (auto& e : Fields(files, '\t'))
      if (!e.empty()) entries.push_back(e);
  }
  SvArray list = sv::ArrayNew((int32_t)entries.size());
  if (!list && !entries.empty()) throw std::bad_alloc();
  for (size_t i = 0; i < entries.size(); ++i) {
    auto* rec = (TSVNetFileListRec*)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(TSVNetFileListRec));
    if (!rec) {
      sv::Release(list);
      throw std::bad_alloc();
    }
    list[i] = (int32_t)(intptr_t)rec;
    std::vector<std::string> f = Fields(entries[i], '\x06');
    f.resize(3);
    std::string name = f[0];
    size_t q = name.find('?');
    if (q != std::string::npos) name.resize(q);
    size_t slash = name.rfind('/');
    if (slash != std::string::npos) name = name.substr(slash + 1);
    SetStr(&rec->Path, f[0]);
    SetStr(&rec->Name, name);
    SetStr(&rec->Host, f[1]);
    rec->Offset = ToInt(f[2], 0);
    if (rec->Offset < 0) rec->Offset = 0;
  }
  EnterCriticalSection(&j->Lock);
  j->FileList = list;
  LeaveCriticalSection(&j->Lock);
}

std::string JoinHosts(const std::string& first, const std::string& list) {
  if (first.empty()) return list;
  return first + "/" + list;
}

}  // namespace

DWORD WINAPI JobWorker(void* arg) {
  Job* j = (Job*)arg;
  Run run{j, nullptr, HandleText(j->Thread), S(j->p.Path), S(j->p.LocalDir)};
  const int method = j->p.Method;
  std::string head = "~Run #" + run.handle + " [" + MethodName(method) + "] " + run.path;
  if (sv::Length(j->p.Files) > 0) head += " {" + S(j->p.Files) + "}";
  Log(head);
  try {
    auto client = new HttpClient();
    EnterCriticalSection(&j->ClientLock);
    j->Client = client;
    if (j->State != SVNET_RUNNING) client->Disconnect();  // stopped before the client existed
    LeaveCriticalSection(&j->ClientLock);
    run.client = client;
    client->blockSize = [j]() { return j->p.Pause ? kBrakeBlock : kFastBlock; };
    client->progress = [j](bool write, int64_t count) {
      EnterCriticalSection(&j->Lock);
      if (write) {
        j->WriteCurrent = (int32_t)count;
      } else {
        j->ReadCurrent = (int32_t)count;
        uint16_t pause = j->p.Pause;
        if (pause && j->State == SVNET_RUNNING) WaitForSingleObject(j->StopEvent, pause);
      }
      LeaveCriticalSection(&j->Lock);
    };
    client->timeoutMs = j->p.Timeout;
    std::string ie = UtilsText(GetMSIEVersion), win = UtilsText(GetWindowsVersion);
    client->userAgent = "Mozilla/4.0 (compatible; MSIE " + (ie.empty() ? std::string("6.0") : ie) + "; Windows " +
                        (win.empty() ? std::string("?") : win) + "; Solvika " + UtilsText(GetProgVersionStr) + "; " +
                        S(j->p.Tag) + ")";
    client->proxy = CurrentProxy();

    BuildFileList(j);
    run.form = j->p.FormStream ? (Form*)j->p.FormStream : j->OwnForm;

    bool prepared = true;
    std::string upload = S(j->p.UploadFile);
    if ((method == SVNET_POST || method == SVNET_POSTORGET) && !upload.empty() && SVFileExists(upload.c_str()) &&
        run.form) {
      try {
        std::string archive;
        if (j->p.ZipUpload) {
          archive = upload + ".zip";
          SVDeleteFile(archive.c_str());
          if (PackFiles(archive, upload) != 0) throw std::runtime_error("pack");
          upload = archive;
        }
        run.form->AddField("stat", UtilsText(GetProgramId));
        size_t slash = upload.rfind('\\');
        run.form->AddField("filename", slash == std::string::npos ? upload : upload.substr(slash + 1));
        bool added = run.form->AddFile("upf", upload);
        if (!archive.empty()) SVDeleteFile(archive.c_str());
        if (!added) throw std::runtime_error("upload file");
      } catch (...) {
        prepared = false;
      }
    }

    if (prepared) {
      std::string hosts;
      if (j->p.HostMode == SVNET_HOSTS_SCRIPT) hosts = ScriptHostList();
      else if (j->p.HostMode == SVNET_HOSTS_SOURCE) hosts = SourceHostList();
      if (sv::Length(j->p.Host) > 0) hosts = JoinHosts(S(j->p.Host), hosts);

      bool allOk = true;
      int32_t count = sv::ArrayLen(j->FileList);
      for (int32_t i = 0; i < count && allOk; ++i) {
        auto* rec = (TSVNetFileListRec*)(intptr_t)j->FileList[i];
        Log("#" + run.handle + " File: " + S(rec->Name));
        EnterCriticalSection(&j->Lock);
        j->FileIndex = i;
        std::string candidates = JoinHosts(S(j->LastHost), hosts);
        LeaveCriticalSection(&j->Lock);
        candidates = JoinHosts(S(rec->Host), candidates);
        bool done = false;
        for (auto& host : Fields(candidates, '/')) {
          if (j->State != SVNET_RUNNING) break;
          if (host.empty()) continue;
          AddCount(j, &j->ReadCurrent, 0);
          AddCount(j, &j->WriteCurrent, 0);
          Log("#" + run.handle + " Host: " + host);
          if (Request(run, rec, host)) {
            EnterCriticalSection(&j->Lock);
            SetStr(&j->LastHost, host);
            LeaveCriticalSection(&j->Lock);
            done = true;
            break;
          }
        }
        if (!done) {
          j->State = SVNET_FAILED;
          allOk = false;
        }
      }
      if (allOk && j->State == SVNET_RUNNING) j->State = SVNET_SUCCEEDED;
    }
  } catch (...) {
  }
  EnterCriticalSection(&j->ClientLock);
  HttpClient* client = j->Client;
  j->Client = nullptr;
  LeaveCriticalSection(&j->ClientLock);
  delete client;
  delete j->OwnForm;
  j->OwnForm = nullptr;
  if (j->State == SVNET_RUNNING) j->State = SVNET_FAILED;
  Log("~Done #" + run.handle + " [" + MethodName(method) + "] <" +
      (j->State == SVNET_SUCCEEDED ? "OK> " + S(j->LastHost) : std::string("ERROR> ")));
  return 0;
}

}  // namespace svnet
