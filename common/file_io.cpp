#include "file_io.h"

#include <windows.h>

#include <vector>

#include "wide.h"
#include "win_handles.h"

namespace sv {

namespace {

// Larger files do not fit the address space of a 32-bit process in one piece.
const LONGLONG kMaxWholeFile = 0x7FFFFFF0;
// Replace attempts; attempt n waits n * kReplaceBackoffMs before the next.
const int kReplaceAttempts = 10;
const DWORD kReplaceBackoffMs = 5;
// GetModuleFileNameW buffer: the longest path the system accepts.
const DWORD kModulePathChars = 32768;

bool WriteNew(const std::wstring& path, std::string_view bytes) {
  Handle f(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!f) return false;
  DWORD put = 0;
  bool ok = bytes.empty() || (WriteFile(f.Get(), bytes.data(), (DWORD)bytes.size(), &put, nullptr) && put == bytes.size());
  return ok && FlushFileBuffers(f.Get());
}

DWORD Attributes(const std::string& path) { return GetFileAttributesW(Wide(path).c_str()); }

std::string WithoutTrailingSlash(std::string path) {
  // "C:\" keeps its separator: without it, it names the current folder of C:.
  while (path.size() > 1 && (path.back() == '\\' || path.back() == '/') &&
         !(path.size() == 3 && path[1] == ':'))
    path.pop_back();
  return path;
}

// True for the parts a folder tree cannot create: a drive ("C:"), the start
// of a UNC name ("\\server") and an empty path.
bool IsRoot(const std::string& path) {
  if (path.empty()) return true;
  if (path.size() == 2 && path[1] == ':') return true;
  if (path.size() == 3 && path[1] == ':') return true;
  return path.size() >= 2 && path[0] == '\\' && path[1] == '\\' && path.find_first_of("\\/", 2) == std::string::npos;
}

// The entries of a folder (without "." and ".."), read before anything in it
// is changed.
std::vector<WIN32_FIND_DATAW> ListFolder(const std::string& folder) {
  std::vector<WIN32_FIND_DATAW> found;
  WIN32_FIND_DATAW fd;
  FindHandle h(FindFirstFileW(Wide(WithSlash(folder) + "*").c_str(), &fd));
  if (!h) return found;
  do {
    if (wcscmp(fd.cFileName, L".") && wcscmp(fd.cFileName, L"..")) found.push_back(fd);
  } while (FindNextFileW(h.Get(), &fd));
  return found;
}

}  // namespace

bool ReadWholeFile(const std::string& path1251, std::string* bytes) {
  Handle f(CreateFileW(Wide(path1251).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!f) return false;
  LARGE_INTEGER size;
  if (!GetFileSizeEx(f.Get(), &size) || size.QuadPart > kMaxWholeFile) return false;
  bytes->resize((size_t)size.QuadPart);
  DWORD got = 0;
  return bytes->empty() || (ReadFile(f.Get(), &(*bytes)[0], (DWORD)bytes->size(), &got, nullptr) && got == bytes->size());
}

bool WriteFileReplacing(const std::wstring& target, const std::wstring& temp, std::string_view bytes) {
  if (!WriteNew(temp, bytes)) {
    DeleteFileW(temp.c_str());
    return false;
  }
  for (int attempt = 1; attempt <= kReplaceAttempts; ++attempt) {
    if (MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    DWORD err = GetLastError();
    if (err != ERROR_SHARING_VIOLATION && err != ERROR_LOCK_VIOLATION && err != ERROR_ACCESS_DENIED) break;
    Sleep(kReplaceBackoffMs * attempt);
  }
  DeleteFileW(temp.c_str());
  return false;
}

bool WriteFileReplacing(const std::string& target1251, std::string_view bytes) {
  const std::wstring target = Wide(target1251);
  const std::wstring temp = target + L"." + std::to_wstring(GetCurrentProcessId()) + L"-" +
                            std::to_wstring(GetCurrentThreadId()) + L".tmp";
  return WriteFileReplacing(target, temp, bytes);
}

std::string ProgramFolder() {
  std::vector<wchar_t> buf(kModulePathChars);
  DWORD n = GetModuleFileNameW(nullptr, buf.data(), kModulePathChars);
  std::string path = Narrow(std::wstring_view(buf.data(), n < kModulePathChars ? n : 0));
  while (!path.empty() && path.back() != '\\') path.pop_back();
  return path;
}

bool FolderExists(const std::string& path1251) {
  DWORD a = Attributes(path1251);
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool FileExists(const std::string& path1251) {
  DWORD a = Attributes(path1251);
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

std::string WithSlash(std::string path1251) {
  if (path1251.empty() || path1251.back() != '\\') path1251 += '\\';
  return path1251;
}

bool CreateFolderTree(const std::string& path1251) {
  const std::string path = WithoutTrailingSlash(path1251);
  if (path.empty()) return false;
  if (FolderExists(path)) return true;
  if (IsRoot(path)) return false;
  size_t cut = path.find_last_of("\\/");
  if (cut != std::string::npos && cut > 0) {
    const std::string parent = path.substr(0, cut);
    if (!IsRoot(parent) && !CreateFolderTree(parent)) return false;
  }
  CreateDirectoryW(Wide(path).c_str(), nullptr);
  return FolderExists(path);
}

bool EmptyFolder(const std::string& path1251) {
  const std::string base = WithSlash(WithoutTrailingSlash(path1251));
  bool clean = true;
  for (const WIN32_FIND_DATAW& f : ListFolder(base)) {
    const std::string path = base + Narrow(f.cFileName);
    const std::wstring wpath = Wide(path);
    if (f.dwFileAttributes & FILE_ATTRIBUTE_READONLY) SetFileAttributesW(wpath.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!(f.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
      clean = DeleteFileW(wpath.c_str()) && clean;
    } else if (f.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
      // A junction or folder link: removing it leaves its target alone.
      clean = RemoveDirectoryW(wpath.c_str()) && clean;
    } else {
      clean = RemoveFolderTree(path) && clean;
    }
  }
  return clean;
}

bool RemoveFolderTree(const std::string& path1251) {
  const std::string path = WithoutTrailingSlash(path1251);
  if (path.empty() || !FolderExists(path)) return true;
  EmptyFolder(path);
  const std::wstring wpath = Wide(path);
  SetFileAttributesW(wpath.c_str(), FILE_ATTRIBUTE_NORMAL);
  RemoveDirectoryW(wpath.c_str());
  return !FolderExists(path);
}

}  // namespace sv
