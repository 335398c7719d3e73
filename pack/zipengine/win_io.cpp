#include "win_io.h"

#include <string.h>

#include <algorithm>

namespace svzip {

namespace {
const size_t kReadAhead = 256 * 1024;
}

bool FileSource::Open(const std::wstring& path) {
  Close();
  file_.Reset(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                      FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file_) return false;
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file_.Get(), &size)) {
    Close();
    return false;
  }
  size_ = (uint64_t)size.QuadPart;
  cacheLength_ = 0;
  return true;
}

void FileSource::Close() {
  file_.Reset();
  cacheLength_ = 0;
}

bool FileSource::RawRead(uint64_t offset, void* buffer, size_t count) {
  OVERLAPPED at;
  memset(&at, 0, sizeof at);
  char* out = (char*)buffer;
  while (count > 0) {
    at.Offset = (DWORD)offset;
    at.OffsetHigh = (DWORD)(offset >> 32);
    DWORD chunk = count > (1u << 30) ? (1u << 30) : (DWORD)count, got = 0;
    if (!ReadFile(file_.Get(), out, chunk, &got, &at) || got == 0) return false;
    out += got;
    offset += got;
    count -= got;
  }
  return true;
}

bool FileSource::ReadAt(uint64_t offset, void* buffer, size_t count) {
  if (!file_ || offset > size_ || count > size_ - offset) return false;
  if (count == 0) return true;
  if (offset >= cacheOffset_ && offset + count <= cacheOffset_ + cacheLength_) {
    memcpy(buffer, cache_.data() + (offset - cacheOffset_), count);
    return true;
  }
  if (count >= kReadAhead / 2) return RawRead(offset, buffer, count);
  if (cache_.empty()) cache_.resize(kReadAhead);
  size_t fill = (size_t)std::min<uint64_t>(kReadAhead, size_ - offset);
  if (!RawRead(offset, cache_.data(), fill)) {
    cacheLength_ = 0;
    return false;
  }
  cacheOffset_ = offset;
  cacheLength_ = fill;
  memcpy(buffer, cache_.data(), count);
  return true;
}

bool FileWriter::Create(const std::wstring& path) {
  Close();
  file_.Reset(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                      FILE_ATTRIBUTE_ARCHIVE, nullptr));
  position_ = 0;
  used_ = 0;
  failed_ = !file_;
  return !failed_;
}

bool FileWriter::OpenAt(const std::wstring& path, uint64_t startAt) {
  Close();
  file_.Reset(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  used_ = 0;
  failed_ = !file_ || !Seek(startAt);
  position_ = startAt;
  return !failed_;
}

bool FileWriter::Seek(uint64_t offset) {
  LARGE_INTEGER to;
  to.QuadPart = (LONGLONG)offset;
  return SetFilePointerEx(file_.Get(), to, nullptr, FILE_BEGIN) != 0;
}

bool FileWriter::Flush() {
  if (failed_) return false;
  const char* p = buffer_.data();
  while (used_ > 0) {
    DWORD put = 0;
    if (!WriteFile(file_.Get(), p, (DWORD)used_, &put, nullptr) || put == 0) {
      failed_ = true;
      return false;
    }
    p += put;
    used_ -= put;
  }
  return true;
}

bool FileWriter::Write(const void* data, size_t count) {
  if (failed_) return false;
  if (buffer_.empty()) buffer_.resize(kIoBlock);
  const char* p = (const char*)data;
  position_ += count;
  if (used_ + count > buffer_.size()) {
    if (!Flush()) return false;
    if (count >= buffer_.size()) {
      while (count > 0) {
        DWORD put = 0, chunk = count > (1u << 30) ? (1u << 30) : (DWORD)count;
        if (!WriteFile(file_.Get(), p, chunk, &put, nullptr) || put == 0) return !(failed_ = true);
        p += put;
        count -= put;
      }
      return true;
    }
  }
  memcpy(buffer_.data() + used_, p, count);
  used_ += count;
  return true;
}

bool FileWriter::Patch(uint64_t offset, const void* data, size_t count) {
  if (!Flush() || !Seek(offset)) return !(failed_ = true);
  DWORD put = 0;
  bool ok = WriteFile(file_.Get(), data, (DWORD)count, &put, nullptr) && put == count;
  if (!Seek(position_) || !ok) failed_ = true;
  return !failed_;
}

bool FileWriter::Truncate(uint64_t offset) {
  if (!Flush() || !Seek(offset) || !SetEndOfFile(file_.Get())) return !(failed_ = true);
  position_ = offset;
  return true;
}

bool FileWriter::Finish() {
  bool ok = Flush() && Seek(position_) && SetEndOfFile(file_.Get());
  // Closed here rather than by the owner: a failed close is a failed write.
  ok = CloseHandle(file_.Release()) && ok;
  return ok;
}

void FileWriter::Close() {
  file_.Reset();
}

namespace {

std::wstring FromCodePage(UINT codePage, const std::string& bytes, DWORD flags) {
  if (bytes.empty()) return std::wstring();
  int n = MultiByteToWideChar(codePage, flags, bytes.data(), (int)bytes.size(), nullptr, 0);
  if (n <= 0) return std::wstring();
  std::wstring out((size_t)n, L'\0');
  MultiByteToWideChar(codePage, flags, bytes.data(), (int)bytes.size(), &out[0], n);
  return out;
}

bool IsAscii(const std::string& s) {
  for (unsigned char c : s)
    if (c >= 0x80) return false;
  return true;
}

}  // namespace

std::wstring DecodeName(const ZipEntry& entry) {
  if (IsAscii(entry.rawName)) return std::wstring(entry.rawName.begin(), entry.rawName.end());
  if (entry.flags & kFlagUtf8) return FromCodePage(CP_UTF8, entry.rawName, 0);
  if (!entry.unicodeName.empty()) {
    std::wstring w = FromCodePage(CP_UTF8, entry.unicodeName, MB_ERR_INVALID_CHARS);
    if (!w.empty()) return w;
  }
  const uint8_t host = entry.Host();
  const bool dosLike = host == 0 || host == 6 || host == 11 || host == 14;  // FAT, HPFS, NTFS, VFAT
  if (!dosLike) {
    std::wstring w = FromCodePage(CP_UTF8, entry.rawName, MB_ERR_INVALID_CHARS);
    if (!w.empty()) return w;
    return FromCodePage(1251, entry.rawName, 0);
  }
  return FromCodePage(866, entry.rawName, 0);
}

std::string EncodeName(const std::wstring& name, bool* utf8) {
  *utf8 = false;
  bool ascii = true;
  for (wchar_t c : name)
    if (c >= 0x80) ascii = false;
  if (ascii) return std::string(name.begin(), name.end());
  *utf8 = true;
  int n = WideCharToMultiByte(CP_UTF8, 0, name.data(), (int)name.size(), nullptr, 0, nullptr, nullptr);
  std::string out((size_t)(n > 0 ? n : 0), '\0');
  if (n > 0) WideCharToMultiByte(CP_UTF8, 0, name.data(), (int)name.size(), &out[0], n, nullptr, nullptr);
  return out;
}

std::wstring FullPath(const std::wstring& path) {
  DWORD n = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (n == 0) return path;
  std::wstring full(n, L'\0');
  n = GetFullPathNameW(path.c_str(), n, &full[0], nullptr);
  full.resize(n);
  return full;
}

uint32_t DosTimeOf(const FILETIME& written) {
  FILETIME local;
  WORD date = 0x21, time = 0;  // 1980-01-01 when the time cannot be given
  if (FileTimeToLocalFileTime(&written, &local)) FileTimeToDosDateTime(&local, &date, &time);
  return (uint32_t)time | ((uint32_t)date << 16);
}

FILETIME FileTimeOfDos(uint32_t dosTime) {
  FILETIME local = {0, 0}, utc = {0, 0};
  if (DosDateTimeToFileTime((WORD)(dosTime >> 16), (WORD)dosTime, &local)) LocalFileTimeToFileTime(&local, &utc);
  return utc;
}

}  // namespace svzip
