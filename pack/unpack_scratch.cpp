#include "unpack_scratch.h"

#include <windows.h>

#include <vector>

#include "engine.h"
#include "file_io.h"
#include "wide.h"
#include "win_handles.h"

namespace svpu {

namespace {

// Longest full path QueryFullProcessImageNameW is asked for.
const DWORD kImagePathChars = 32768;
// A process id as decimal text: at most ten digits (32 bits).
const size_t kMaxPidDigits = 10;

// The process id a scratch folder is named after; false for any other name.
bool PidOfName(const std::string& name, DWORD* pid) {
  if (name.empty() || name.size() > kMaxPidDigits) return false;
  unsigned long long value = 0;
  for (char c : name) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (unsigned)(c - '0');
  }
  if (value > MAXDWORD) return false;
  *pid = (DWORD)value;
  return true;
}

std::wstring FolderOf(const std::wstring& path) {
  size_t cut = path.find_last_of(L"\\/");
  return cut == std::wstring::npos ? std::wstring() : path.substr(0, cut + 1);
}

bool SameTextNoCase(const std::wstring& a, const std::wstring& b) {
  return CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, a.c_str(), (int)a.size(), b.c_str(), (int)b.size()) ==
         CSTR_EQUAL;
}

// QueryFullProcessImageNameW, looked up at run time: the library also runs on
// systems older than the call.
typedef BOOL(WINAPI* QueryImageNameProc)(HANDLE, DWORD, LPWSTR, PDWORD);

QueryImageNameProc QueryImageName() {
  static const QueryImageNameProc proc =
      (QueryImageNameProc)GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "QueryFullProcessImageNameW");
  return proc;
}

}  // namespace

std::string ScratchRoot() { return sv::ProgramFolder() + "SVData\\SVUNZ\\"; }

bool IsProgramProcess(unsigned long pid) {
  sv::Handle process(OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, pid));
  if (!process.Valid()) return GetLastError() == ERROR_ACCESS_DENIED;
  DWORD exitCode = 0;
  if (GetExitCodeProcess(process.Get(), &exitCode) && exitCode != STILL_ACTIVE) return false;
  // Without a way to read the executable's path any running process counts.
  const QueryImageNameProc query = QueryImageName();
  std::vector<wchar_t> image(kImagePathChars);
  DWORD length = kImagePathChars;
  if (!query || !query(process.Get(), 0, image.data(), &length)) return true;
  const std::wstring folder = FolderOf(std::wstring(image.data(), length));
  return SameTextNoCase(folder, sv::Wide(sv::ProgramFolder()));
}

void RemoveStaleScratch() {
  const std::string root = ScratchRoot();
  const DWORD own = GetCurrentProcessId();
  for (const sv::FolderEntry& e : sv::FindEntries(root + "*")) {
    const std::string path = root + e.name;
    if (!e.isFolder) {
      SetFileAttributesW(sv::Wide(path).c_str(), FILE_ATTRIBUTE_ARCHIVE);
      DeleteFileW(sv::Wide(path).c_str());
      continue;
    }
    DWORD pid = 0;
    if (PidOfName(e.name, &pid) && (pid == own || IsProgramProcess(pid))) continue;
    sv::RemoveFolderTree(path);
  }
}

ScratchFolder::ScratchFolder() {
  char pid[16];
  wsprintfA(pid, "%lu", GetCurrentProcessId());
  path_ = ScratchRoot() + pid + "\\";
}

ScratchFolder::~ScratchFolder() {
  if (created_) sv::RemoveFolderTree(path_);
}

bool ScratchFolder::Create() {
  created_ = sv::CreateFolderTree(path_);
  return created_;
}

}  // namespace svpu
