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
  bool ok =
      bytes.empty() || (WriteFile(f.Get(), bytes.data(), (DWORD)bytes.size(), &put, nullptr) && put == bytes.size());
  return ok && FlushFileBuffers(f.Get());
}

DWORD Attributes(const std::string& path) { return GetFileAttributesW(Wide(path).c_str()); }

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

std::wstring WithoutTrailingSlash(std::wstring path) {
  // "C:\" keeps its separator: without it, it names the current folder of C:.
  while (path.size() > 1 && IsSeparator(path.back()) && !(path.size() == 3 && path[1] == L':')) path.pop_back();
  return path;
}

std::string WithoutTrailingSlash(std::string path) {
  while (path.size() > 1 && (path.back() == '\\' || path.back() == '/') && !(path.size() == 3 && path[1] == ':'))
    path.pop_back();
  return path;
}

// True for the parts a folder tree cannot create: a drive ("C:", "C:\"), the
// start of a UNC name ("\\server") and an empty path.
bool IsRoot(const std::wstring& path) {
  if (path.empty()) return true;
  if ((path.size() == 2 || path.size() == 3) && path[1] == L':') return true;
  return path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]) &&
         path.find_first_of(L"\\/", 2) == std::wstring::npos;
}

bool WideFolderExists(const std::wstring& path) {
  DWORD a = GetFileAttributesW(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

bool ReadWholeFile(const std::string& path1251, std::string* bytes) {
  Handle f(CreateFileW(Wide(path1251).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!f) return false;
  LARGE_INTEGER size;
  if (!GetFileSizeEx(f.Get(), &size) || size.QuadPart > kMaxWholeFile) return false;
  bytes->resize((size_t)size.QuadPart);
  // A file that another writer shortens meanwhile gives what is left of it.
  size_t done = 0;
  while (done < bytes->size()) {
    DWORD got = 0;
    if (!ReadFile(f.Get(), &(*bytes)[done], (DWORD)(bytes->size() - done), &got, nullptr)) return false;
    if (got == 0) break;
    done += got;
  }
  bytes->resize(done);
  return true;
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
  const std::wstring temp =
      target + L"." + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(GetCurrentThreadId()) + L".tmp";
  return WriteFileReplacing(target, temp, bytes);
}

std::wstring ExecutablePath() {
  std::vector<wchar_t> buf(kModulePathChars);
  DWORD n = GetModuleFileNameW(nullptr, buf.data(), kModulePathChars);
  return std::wstring(buf.data(), n < kModulePathChars ? n : 0);
}

std::string ProgramFolder() {
  std::string path = Narrow(ExecutablePath());
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

bool CreateFolderTree(const std::wstring& path) {
  const std::wstring folder = WithoutTrailingSlash(path);
  if (folder.empty()) return false;
  if (WideFolderExists(folder)) return true;
  if (IsRoot(folder)) return false;
  size_t cut = folder.find_last_of(L"\\/");
  if (cut != std::wstring::npos && cut > 0) {
    const std::wstring parent = folder.substr(0, cut);
    if (!IsRoot(parent) && !CreateFolderTree(parent)) return false;
  }
  CreateDirectoryW(folder.c_str(), nullptr);
  return WideFolderExists(folder);
}

bool CreateFolderTree(const std::string& path1251) { return CreateFolderTree(Wide(path1251)); }

std::vector<FolderEntry> FindEntries(const std::string& pattern1251) {
  std::vector<FolderEntry> found;
  WIN32_FIND_DATAW fd;
  FindHandle h(FindFirstFileW(Wide(pattern1251).c_str(), &fd));
  if (!h) return found;
  do {
    if (!wcscmp(fd.cFileName, L".") || !wcscmp(fd.cFileName, L"..")) continue;
    FolderEntry e;
    e.name = Narrow(fd.cFileName);
    e.isFolder = (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    e.isLink = (fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    e.readOnly = (fd.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    e.size = (uint64_t(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow;
    found.push_back(std::move(e));
  } while (FindNextFileW(h.Get(), &fd));
  return found;
}

std::vector<std::string> FindNames(const std::string& pattern1251, EntryKind kind) {
  std::vector<std::string> names;
  for (FolderEntry& e : FindEntries(pattern1251))
    if (kind == EntryKind::kAny || e.isFolder == (kind == EntryKind::kFolders)) names.push_back(std::move(e.name));
  return names;
}

bool EmptyFolder(const std::string& path1251) {
  const std::string base = WithSlash(WithoutTrailingSlash(path1251));
  bool clean = true;
  for (const FolderEntry& e : FindEntries(base + "*")) {
    const std::string path = base + e.name;
    const std::wstring wpath = Wide(path);
    if (e.readOnly) SetFileAttributesW(wpath.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!e.isFolder) {
      clean = DeleteFileW(wpath.c_str()) && clean;
    } else if (e.isLink) {
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
  const std::wstring wpath = Wide(path);
  // A linked folder goes as a link; what it points to stays.
  if (!(GetFileAttributesW(wpath.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT)) EmptyFolder(path);
  SetFileAttributesW(wpath.c_str(), FILE_ATTRIBUTE_NORMAL);
  RemoveDirectoryW(wpath.c_str());
  return !FolderExists(path);
}

}  // namespace sv
