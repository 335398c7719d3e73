#include "ini_file.h"

#include <windows.h>

#include "file_io.h"
#include "wide.h"
#include "win_handles.h"

namespace utils {

namespace {

sv::CriticalSection& IniLock() {
  static sv::CriticalSection lock;
  return lock;
}

}  // namespace

bool ReadIniFile(const std::string& path, IniText* text) {
  std::string bytes;
  bool ok;
  {
    sv::Lock lock(IniLock());
    ok = sv::ReadWholeFile(path, &bytes);
  }
  *text = IniText(ok ? bytes : std::string());
  return ok;
}

bool EditIniFile(const std::string& path, const std::function<bool(IniText&)>& edit) {
  sv::Lock lock(IniLock());
  std::wstring wpath = sv::Wide(path);
  std::string bytes;
  if (!sv::ReadWholeFile(path, &bytes)) {
    DWORD attrs = GetFileAttributesW(wpath.c_str());
    if (attrs != INVALID_FILE_ATTRIBUTES) return false;  // exists but cannot be read
    bytes.clear();
  }
  IniText text(bytes);
  if (!edit(text)) return true;

  // A write to a read-only file fails as the platform's own profile write would.
  DWORD attrs = GetFileAttributesW(wpath.c_str());
  if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_READONLY)) return false;

  // The replace-write retries a replace that another program (a virus
  // scanner, an editor reading the file) or Wine refuses for a moment.
  return sv::WriteFileReplacing(path, text.Bytes());
}

}  // namespace utils
