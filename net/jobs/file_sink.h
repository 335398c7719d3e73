// Where a request puts the body of a reply: the local file or memory. Both
// drop the body of an error reply.
#pragma once

#include <windows.h>

#include <vector>

#include "http/http_client.h"

namespace svnet {

bool Is2xx(int status);

// Writes the body into the local file, which is positioned at `offset`.
// When a range was asked and the server sent the whole file (200), the file
// is written from its start instead and `Restarted()` tells so.
//
// With `gather` > 0 blocks are gathered up to that many bytes per write:
// under Wine every file write costs tens of microseconds, which would
// otherwise halve a fast transfer. With a speed brake (gather 0) every block
// goes to the file as it comes.
class FileSink : public BodySink {
 public:
  FileSink(HANDLE file, int64_t offset, size_t gather) : file_(file), offset_(offset), gather_(gather) {}
  ~FileSink() override { Flush(); }
  FileSink(const FileSink&) = delete;
  FileSink& operator=(const FileSink&) = delete;
  // Writes what was gathered; false when the write failed.
  bool Flush();
  bool Begin(const HttpResponse& r) override;
  bool Write(const char* data, size_t size) override;
  bool Restarted() const { return restarted_; }

 private:
  bool WriteNow(const char* data, size_t size);

  HANDLE file_;
  int64_t offset_;
  size_t gather_;
  std::vector<char> pending_;
  bool restarted_ = false;
};

class MemorySink : public StringSink {
 public:
  bool Begin(const HttpResponse& r) override { return Is2xx(r.status); }
};

}  // namespace svnet
