#include "ini_file.h"

#include <windows.h>

#include "wide.h"
#include "win_handles.h"

namespace utils {

namespace {

sv::CriticalSection& IniLock() {
  static sv::CriticalSection lock;
  return lock;
}

bool ReadAll(const std::wstring& path, std::string* bytes) {
  sv::FileHandle f(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!f.Valid()) return false;
  DWORD high = 0, size = GetFileSize(f.Get(), &high);
  if (size == INVALID_FILE_SIZE || high != 0) return false;
  bytes->resize(size);
  DWORD got = 0;
  if (size && (!ReadFile(f.Get(), &(*bytes)[0], size, &got, nullptr) || got != size)) return false;
  return true;
}

bool WriteNew(const std::wstring& path, const std::string& bytes) {
  sv::FileHandle f(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!f.Valid()) return false;
  DWORD put = 0;
  bool ok = bytes.empty() || (WriteFile(f.Get(), bytes.data(), (DWORD)bytes.size(), &put, nullptr) && put == bytes.size());
  return ok && FlushFileBuffers(f.Get());
}

bool ReplaceWith(const std::wstring& temp, const std::wstring& target) {
  // Another program may hold the file open for a moment (a virus scanner, an
  // editor reading it), and Wine refuses a replace now and then while the old
  // file is still being closed ("access denied"); retry briefly before giving
  // up. A read-only target was refused before we got here.
  for (int attempt = 1; attempt <= 10; ++attempt) {
    if (MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    DWORD err = GetLastError();
    if (err != ERROR_SHARING_VIOLATION && err != ERROR_LOCK_VIOLATION && err != ERROR_ACCESS_DENIED) break;
    Sleep(5 * attempt);
  }
  return false;
}

}  // namespace

bool ReadIniFile(const std::string& path, IniText* text) {
  std::string bytes;
  bool ok;
  {
    sv::Lock lock(IniLock());
    ok = ReadAll(sv::Wide(path), &bytes);
  }
  *text = IniText(ok ? bytes : std::string());
  return ok;
}

bool EditIniFile(const std::string& path, const std::function<bool(IniText&)>& edit) {
  sv::Lock lock(IniLock());
  std::wstring wpath = sv::Wide(path);
  std::string bytes;
  if (!ReadAll(wpath, &bytes)) {
    DWORD attrs = GetFileAttributesW(wpath.c_str());
    if (attrs != INVALID_FILE_ATTRIBUTES) return false;  // exists but cannot be read
    bytes.clear();
  }
  IniText text(bytes);
  if (!edit(text)) return true;

  // A write to a read-only file fails as the platform's own profile write would.
  DWORD attrs = GetFileAttributesW(wpath.c_str());
  if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_READONLY)) return false;

  std::wstring temp = wpath + L"." + std::to_wstring(GetCurrentProcessId()) + L"-" +
                      std::to_wstring(GetCurrentThreadId()) + L".tmp";
  if (!WriteNew(temp, text.Bytes()) || !ReplaceWith(temp, wpath)) {
    DeleteFileW(temp.c_str());
    return false;
  }
  return true;
}

}  // namespace utils
