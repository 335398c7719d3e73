#include "file_source.h"

#include <windows.h>

#include "file_io.h"
#include "wide.h"

namespace lexikon {

FileSource::FileSource(const std::string& path1251) {
  file_.Reset(CreateFileW(sv::Wide(path1251).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size = {};
  if (file_ && GetFileSizeEx(file_.Get(), &size) && size.QuadPart > 0) size_ = static_cast<uint64_t>(size.QuadPart);
}

bool FileSource::Read(uint64_t offset, size_t length, std::string* out) {
  if (!file_ || offset > size_ || length > size_ - offset || length > MAXDWORD) return false;
  out->resize(length);
  if (length == 0) return true;
  OVERLAPPED at = {};
  at.Offset = static_cast<DWORD>(offset & 0xFFFFFFFF);
  at.OffsetHigh = static_cast<DWORD>(offset >> 32);
  DWORD read = 0;
  return ReadFile(file_.Get(), &(*out)[0], static_cast<DWORD>(length), &read, &at) && read == length;
}

bool FileSource::LastWrite(FILETIME* written) const {
  return file_ && GetFileTime(file_.Get(), nullptr, nullptr, written);
}

const lex::IndexTable* IndexCache::Get(FileSource& index) {
  FILETIME written = {};
  bool present = index.LastWrite(&written);
  bool same = valid_ && present && index.Size() == size_ && CompareFileTime(&written, &written_) == 0;
  if (!same) {
    table_ = lex::ReadIndex(&index);
    valid_ = present;
    size_ = index.Size();
    written_ = written;
  }
  return &table_;
}

std::string DictionaryPath(const char* fileName) { return sv::ProgramFolder() + fileName; }

}  // namespace lexikon
