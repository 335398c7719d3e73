// Program, temporary and system folders, and their exports.
#include <windows.h>

#include <vector>

#include "guard.h"
#include "load_steps.h"
#include "state.h"
#include "svstring.h"
#include "wide.h"
#include "SolvikaUtils.h"

namespace utils {

static const DWORD kPathBuffer = 65534;

static std::string WithBackslash(std::string path) {
  if (path.empty() || path.back() != '\\') path += '\\';
  return path;
}

// The program folder: the host executable's path cut back to and including
// its last "\" (empty if there is none).
std::string ProgramFolderOf(std::string exePath) {
  while (!exePath.empty() && exePath.back() != '\\') exePath.pop_back();
  return exePath;
}

void LoadFolders() {
  LoadState& st = MutableStateForLoad();
  std::vector<wchar_t> buf(kPathBuffer + 1);

  DWORD n = GetModuleFileNameW(nullptr, buf.data(), kPathBuffer);
  st.programDir = ProgramFolderOf(sv::Narrow(std::wstring_view(buf.data(), n)));
  if (!st.programDir.empty()) SetCurrentDirectoryW(sv::Wide(st.programDir).c_str());

  // Settings writes to the main file do not touch its attributes later, so a
  // read-only, hidden or system "Tovrin.ini" is made writable once here.
  SetFileAttributesW(sv::Wide(MainIniPath()).c_str(), FILE_ATTRIBUTE_ARCHIVE);

  n = GetTempPathW(kPathBuffer, buf.data());
  st.tempDir = WithBackslash(sv::Narrow(std::wstring_view(buf.data(), n < kPathBuffer ? n : 0)));
  n = GetSystemDirectoryW(buf.data(), kPathBuffer);
  st.systemDir = WithBackslash(sv::Narrow(std::wstring_view(buf.data(), n < kPathBuffer ? n : 0)));
}

}  // namespace utils

using namespace utils;

SV_EXPORT void SVAPI GetCurrDir(SvStr* out) {
  sv::GuardVoid([&] { sv::PutStr(out, State().programDir); });
}

SV_EXPORT void SVAPI GetSysDir(SvStr* out) {
  sv::GuardVoid([&] { sv::PutStr(out, State().systemDir); });
}

SV_EXPORT void SVAPI GetTempDir(SvStr* out) {
  sv::GuardVoid([&] { sv::PutStr(out, State().tempDir); });
}
