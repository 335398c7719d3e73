#include "jobs/file_sink.h"

namespace svnet {

namespace {

constexpr int kHttpOk = 200;
constexpr int kHttpPartial = 206;
constexpr int kHttpFirstNon2xx = 300;

}  // namespace

bool Is2xx(int status) { return status >= kHttpOk && status < kHttpFirstNon2xx; }

bool FileSink::WriteNow(const char* data, size_t size) {
  DWORD done = 0;
  return WriteFile(file_, data, (DWORD)size, &done, nullptr) && done == size;
}

bool FileSink::Flush() {
  if (pending_.empty()) return true;
  const bool ok = WriteNow(pending_.data(), pending_.size());
  pending_.clear();
  return ok;
}

bool FileSink::Begin(const HttpResponse& r) {
  if (!Is2xx(r.status)) return false;
  // A body smaller than the gathering is gathered whole (or written at once
  // when it comes in one block), without room for more.
  if (gather_ > 0 && r.contentLength > 0 && (uint64_t)r.contentLength < gather_) gather_ = (size_t)r.contentLength;
  if (offset_ > 0 && r.status != kHttpPartial) {
    LARGE_INTEGER zero = {};
    if (!SetFilePointerEx(file_, zero, nullptr, FILE_BEGIN) || !SetEndOfFile(file_)) return false;
    offset_ = 0;
    restarted_ = true;
  }
  return true;
}

bool FileSink::Write(const char* data, size_t size) {
  if (gather_ == 0) return WriteNow(data, size);
  // A block as large as the gathering goes to the file without a copy.
  if (pending_.empty() && size >= gather_) return WriteNow(data, size);
  if (pending_.capacity() < gather_) pending_.reserve(gather_);
  pending_.insert(pending_.end(), data, data + size);
  return pending_.size() < gather_ || Flush();
}

}  // namespace svnet
