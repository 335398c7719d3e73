#include "folders.h"

#include <windows.h>

#include <vector>

#include "SolvikaUtils.h"
#include "wide.h"
#include "win_handles.h"

namespace svpu {

namespace {

std::wstring W(const std::string& path) { return sv::Wide(path); }

DWORD Attributes(const std::string& path) { return GetFileAttributesW(W(path).c_str()); }

// The entries of a folder (without "." and ".."), read before anything is
// changed in it.
std::vector<WIN32_FIND_DATAW> List(const std::string& pattern) {
  std::vector<WIN32_FIND_DATAW> found;
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW(W(pattern).c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return found;
  do {
    if (wcscmp(fd.cFileName, L".") && wcscmp(fd.cFileName, L"..")) found.push_back(fd);
  } while (FindNextFileW(h, &fd));
  FindClose(h);
  return found;
}

}  // namespace

std::string WithSlash(std::string path) {
  if (path.empty() || path.back() != '\\') path += '\\';
  return path;
}

bool DirExists(const std::string& path) {
  DWORD a = Attributes(path);
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool FileExists(const std::string& path) {
  DWORD a = Attributes(path);
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<FolderEntry> ListFolder(const std::string& folder) {
  std::vector<FolderEntry> entries;
  for (const WIN32_FIND_DATAW& f : List(WithSlash(folder) + "*")) {
    FolderEntry e;
    e.name = sv::Narrow(f.cFileName);
    e.folder = (f.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entries.push_back(std::move(e));
  }
  return entries;
}

bool MakeFolders(const std::string& path) {
  std::string p = path;
  while (p.size() > 3 && p.back() == '\\') p.pop_back();
  if (p.empty() || DirExists(p)) return !p.empty();
  size_t cut = p.find_last_of("\\/");
  if (cut != std::string::npos && cut > 0 && p[cut - 1] != ':' && p[cut - 1] != '\\') MakeFolders(p.substr(0, cut));
  CreateDirectoryW(W(p).c_str(), nullptr);
  return DirExists(p);
}

void EmptyFolder(const std::string& folder) {
  const std::string base = WithSlash(folder);
  for (const WIN32_FIND_DATAW& f : List(base + "*")) {
    std::string path = base + sv::Narrow(f.cFileName);
    if (f.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      RemoveTree(path);
    } else {
      SetFileAttributesW(W(path).c_str(), FILE_ATTRIBUTE_ARCHIVE);
      DeleteFileW(W(path).c_str());
    }
  }
}

void RemoveTree(const std::string& folder) {
  std::string path = folder;
  while (path.size() > 3 && path.back() == '\\') path.pop_back();
  if (!DirExists(path)) return;
  EmptyFolder(path);
  SetFileAttributesW(W(path).c_str(), FILE_ATTRIBUTE_DIRECTORY);
  RemoveDirectoryW(W(path).c_str());
}

void MoveContent(const std::string& from, const std::string& to) {
  for (const WIN32_FIND_DATAW& f : List(from + "*")) {
    const std::string name = sv::Narrow(f.cFileName);
    const std::string source = from + name, target = to + name;
    if (f.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      // A whole folder is renamed in one step when nothing is in its way.
      if (Attributes(target) == INVALID_FILE_ATTRIBUTES && MoveFileW(W(source).c_str(), W(target).c_str()))
        continue;
      CreateDirectoryW(W(target).c_str(), nullptr);
      MoveContent(source + "\\", target + "\\");
    } else {
      SVMoveFile(source.c_str(), target.c_str());
    }
  }
}

bool CopyEntries(const std::string& source, const std::string& target) {
  for (const WIN32_FIND_DATAW& f : List(source + "\\*.*")) {
    const std::string name = sv::Narrow(f.cFileName);
    const std::wstring to = W(target + name);
    SetFileAttributesW(to.c_str(), FILE_ATTRIBUTE_ARCHIVE);
    if (!CopyFileW(W(source + "\\" + name).c_str(), to.c_str(), FALSE)) return false;
  }
  return true;
}

bool ReadWholeFile(const std::string& path, std::string* bytes) {
  sv::FileHandle f(CreateFileW(W(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!f.Valid()) return false;
  LARGE_INTEGER size;
  if (!GetFileSizeEx(f.Get(), &size) || size.QuadPart > 0x7FFFFFF0) return false;
  bytes->resize((size_t)size.QuadPart);
  DWORD got = 0;
  return bytes->empty() || (ReadFile(f.Get(), &(*bytes)[0], (DWORD)bytes->size(), &got, nullptr) && got == bytes->size());
}

}  // namespace svpu
