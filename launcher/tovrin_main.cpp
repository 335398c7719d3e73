// Tovrin.exe, the launcher under the older generation's file name: it hands
// its command line to "Solvika.exe" of its own folder and ends at once,
// checking nothing and showing nothing.
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include <string>

#include "command_line.h"
#include "file_io.h"
#include "guard.h"
#include "launch_rules.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  sv::GuardVoid([] {
    const std::wstring target = launcher::LegacyTargetPath(sv::ExecutablePath());
    const std::wstring params = launcher::JoinLegacyArguments(launcher::ArgumentsWide());
    // The shell may hand the start to an extension through COM.
    HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    ShellExecuteW(nullptr, nullptr, target.c_str(), params.c_str(), nullptr, SW_SHOWNORMAL);
    if (SUCCEEDED(com)) CoUninitialize();
  });
  return 0;
}
