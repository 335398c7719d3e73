// File exports: existence, size, attributes, delete, copy, move, search and
// line-by-line reading. None of them raises an error; failures give false.
#include <windows.h>

#include <vector>

#include "file_io.h"
#include "guard.h"
#include "svstring.h"
#include "wide.h"
#include "win_handles.h"
#include "SolvikaUtils.h"

namespace {

std::wstring W(const char* path) { return sv::Wide(sv::Text(path)); }

DWORD Attributes(const char* path) { return GetFileAttributesW(W(path).c_str()); }

bool Exists(const char* path) { return Attributes(path) != INVALID_FILE_ATTRIBUTES; }

// The find record in the 8-bit form that callbacks receive.
WIN32_FIND_DATAA Narrowed(const WIN32_FIND_DATAW& w) {
  WIN32_FIND_DATAA a;
  memset(&a, 0, sizeof(a));
  a.dwFileAttributes = w.dwFileAttributes;
  a.ftCreationTime = w.ftCreationTime;
  a.ftLastAccessTime = w.ftLastAccessTime;
  a.ftLastWriteTime = w.ftLastWriteTime;
  a.nFileSizeHigh = w.nFileSizeHigh;
  a.nFileSizeLow = w.nFileSizeLow;
  a.dwReserved0 = w.dwReserved0;
  a.dwReserved1 = w.dwReserved1;
  std::string name = sv::Narrow(w.cFileName), alt = sv::Narrow(w.cAlternateFileName);
  memcpy(a.cFileName, name.data(), std::min(name.size(), sizeof(a.cFileName) - 1));
  memcpy(a.cAlternateFileName, alt.data(), std::min(alt.size(), sizeof(a.cAlternateFileName) - 1));
  return a;
}

}  // namespace

SVU_API SvBool SVAPI SVFileExists(const char* fileName) {
  return sv::Guard<SvBool>(0, [&] { return (SvBool)sv::FileExists(std::string(sv::Text(fileName))); });
}

SVU_API SvBool SVAPI SVDirExsists(const char* path) {
  return sv::Guard<SvBool>(0, [&] { return (SvBool)sv::FolderExists(std::string(sv::Text(path))); });
}

SVU_API SvBool SVAPI SVFileSize(const char* fileName, uint64_t* size) {
  return sv::Guard<SvBool>(0, [&] {
    sv::Handle f(CreateFileW(W(fileName).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f.Valid()) return (SvBool)0;
    DWORD low = GetFileSize(f.Get(), nullptr);
    if (low == INVALID_FILE_SIZE) return (SvBool)0;
    if (size) *size = low;  // the upper half is always 0
    return (SvBool)1;
  });
}

SVU_API void SVAPI SVSetAttrib(const char* fileName, uint32_t attributes) {
  sv::GuardVoid([&] { SetFileAttributesW(W(fileName).c_str(), attributes); });
}

SVU_API SvBool SVAPI SVDeleteFile(const char* fileName) {
  return sv::Guard<SvBool>(0, [&] {
    if (!Exists(fileName)) return (SvBool)1;
    std::wstring path = W(fileName);
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_ARCHIVE);
    return (SvBool)(DeleteFileW(path.c_str()) != 0);
  });
}

SVU_API SvBool SVAPI SVCopyFile(const char* source, const char* destination) {
  return sv::Guard<SvBool>(0, [&] {
    std::wstring to = W(destination);
    if (Exists(destination)) SetFileAttributesW(to.c_str(), FILE_ATTRIBUTE_ARCHIVE);
    return (SvBool)(CopyFileW(W(source).c_str(), to.c_str(), FALSE) != 0);
  });
}

SVU_API SvBool SVAPI SVMoveFile(const char* source, const char* destination) {
  return sv::Guard<SvBool>(0, [&] {
    if (Exists(destination)) {
      if (!SVCopyFile(source, destination)) return (SvBool)0;
      SVDeleteFile(source);
      return (SvBool)1;
    }
    return (SvBool)(MoveFileW(W(source).c_str(), W(destination).c_str()) != 0);
  });
}

SVU_API SvBool SVAPI SVFindFiles(const char* pattern, SvFindFilesProc proc, int32_t user) {
  return sv::Guard<SvBool>(1, [&] {
    WIN32_FIND_DATAW data;
    sv::FindHandle h(FindFirstFileW(W(pattern).c_str(), &data));
    if (!h) return (SvBool)1;
    do {
      if (proc && proc(Narrowed(data), user)) return (SvBool)0;
    } while (FindNextFileW(h.Get(), &data));
    return (SvBool)1;
  });
}

// Lines end in CR LF, LF or a lone CR; the break is not part of the line and a
// break at the very end does not start another line.
SVU_API SvBool SVAPI SVReadFile(const char* fileName, SvReadLineProc proc, int32_t user) {
  return sv::Guard<SvBool>(0, [&] {
    std::string bytes;
    if (!sv::ReadWholeFile(std::string(sv::Text(fileName)), &bytes)) return (SvBool)0;
    size_t pos = 0;
    while (pos < bytes.size()) {
      size_t end = bytes.find_first_of("\r\n", pos);
      if (end == std::string::npos) end = bytes.size();
      SvStr line = sv::StrNew(bytes.data() + pos, (int32_t)(end - pos));
      bool stop = proc && proc(line, user);
      sv::Release(line);
      if (stop) break;
      pos = end;
      if (pos < bytes.size() && bytes[pos] == '\r') {
        ++pos;
        if (pos < bytes.size() && bytes[pos] == '\n') ++pos;
      } else if (pos < bytes.size()) {
        ++pos;  // "\n"
      }
    }
    return (SvBool)1;
  });
}
