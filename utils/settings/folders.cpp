// Program, temporary and system folders, and their exports.
#include <windows.h>

#include <vector>

#include "file_io.h"
#include "guard.h"
#include "load_steps.h"
#include "state.h"
#include "svstring.h"
#include "wide.h"
#include "SolvikaUtils.h"

namespace utils {

static const DWORD kPathBuffer = 65534;

void LoadFolders() {
  LoadState& st = MutableStateForLoad();
  std::vector<wchar_t> buf(kPathBuffer + 1);

  st.programDir = sv::ProgramFolder();
  if (!st.programDir.empty()) SetCurrentDirectoryW(sv::Wide(st.programDir).c_str());

  // Settings writes to the main file do not touch its attributes later, so a
  // read-only, hidden or system "Tovrin.ini" is made writable once here.
  SetFileAttributesW(sv::Wide(MainIniPath()).c_str(), FILE_ATTRIBUTE_ARCHIVE);

  DWORD n = GetTempPathW(kPathBuffer, buf.data());
  st.tempDir = sv::WithSlash(sv::Narrow(std::wstring_view(buf.data(), n < kPathBuffer ? n : 0)));
  n = GetSystemDirectoryW(buf.data(), kPathBuffer);
  st.systemDir = sv::WithSlash(sv::Narrow(std::wstring_view(buf.data(), n < kPathBuffer ? n : 0)));
}

}  // namespace utils

using namespace utils;

SVU_API void SVAPI GetCurrDir(SvStr* out) {
  sv::GuardVoid([&] { sv::PutStr(out, State().programDir); });
}

SVU_API void SVAPI GetSysDir(SvStr* out) {
  sv::GuardVoid([&] { sv::PutStr(out, State().systemDir); });
}

SVU_API void SVAPI GetTempDir(SvStr* out) {
  sv::GuardVoid([&] { sv::PutStr(out, State().tempDir); });
}
