// File access of the zip engine on Windows: archive reading with a read-ahead
// block, buffered writing, and the conversion of stored entry names.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "win_handles.h"
#include "zip_format.h"

namespace svzip {

const size_t kIoBlock = 1 << 20;  // large blocks: every call costs a trip to Wine's server

// The archive opened for reading. Small reads (headers, names) are served
// from a read-ahead block; large ones go straight to the file.
class FileSource : public ByteSource {
 public:
  FileSource() = default;
  ~FileSource() override { Close(); }
  FileSource(const FileSource&) = delete;
  FileSource& operator=(const FileSource&) = delete;

  bool Open(const std::wstring& path);
  void Close();
  bool IsOpen() const { return file_.Valid(); }
  uint64_t Size() const override { return size_; }
  bool ReadAt(uint64_t offset, void* buffer, size_t count) override;

 private:
  bool RawRead(uint64_t offset, void* buffer, size_t count);

  sv::Handle file_;
  uint64_t size_ = 0;
  std::vector<char> cache_;
  uint64_t cacheOffset_ = 0;
  size_t cacheLength_ = 0;
};

// Sequential writer with a large buffer; Position() counts what was written.
class FileWriter {
 public:
  FileWriter() = default;
  ~FileWriter() { Close(); }
  FileWriter(const FileWriter&) = delete;
  FileWriter& operator=(const FileWriter&) = delete;

  // Opens (creating or emptying) the file, or opens an existing one for
  // writing at `startAt` (append mode).
  bool Create(const std::wstring& path);
  bool OpenAt(const std::wstring& path, uint64_t startAt);
  bool Write(const void* data, size_t count);
  bool Flush();
  // Writes `count` bytes at an earlier position (flushes first).
  bool Patch(uint64_t offset, const void* data, size_t count);
  // Cuts the file back to `offset` and continues writing there.
  bool Truncate(uint64_t offset);
  uint64_t Position() const { return position_; }
  bool Finish();  // flush, end the file at Position(), close
  void Close();
  HANDLE Handle() const { return file_.Get(); }

 private:
  bool Seek(uint64_t offset);

  sv::Handle file_;
  std::vector<char> buffer_;
  size_t used_ = 0;
  uint64_t position_ = 0;
  bool failed_ = false;
};

// The name of an entry as UTF-16, from the UTF-8 flag, an Info-ZIP Unicode
// Path field, UTF-8 bytes of a Unix-made archive, or else the DOS code page
// 866 that Windows tools use.
std::wstring DecodeName(const ZipEntry& entry);

// The stored form of a name: plain bytes when it is ASCII, otherwise UTF-8
// (the caller then sets the UTF-8 flag).
std::string EncodeName(const std::wstring& name, bool* utf8);

// The full form of a path (GetFullPathNameW).
std::wstring FullPath(const std::wstring& path);

uint32_t DosTimeOf(const FILETIME& written);
FILETIME FileTimeOfDos(uint32_t dosTime);

}  // namespace svzip
