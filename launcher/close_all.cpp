#include "close_all.h"

#include <windows.h>

#include "guard.h"
#include "launch_rules.h"
#include "wide.h"
#include "win_handles.h"
#include "window_names.h"

namespace launcher {

namespace {

// The shell gets about five seconds to close its main window.
constexpr int kMainWindowPolls = 20;
constexpr DWORD kMainWindowPollMs = 250;
// The exit command is sent and waited for, but a shell that has stopped
// answering messages must not hold the launcher (and with it an update)
// forever: a hung window is not waited for at all, a slow one this long.
constexpr UINT kExitCommandTimeoutMs = 60000;
// Titles and class names are read up to 255 characters.
constexpr int kNameChars = 256;
// Termination is asynchronous; a copy started right after must not find the
// dying process's windows.
constexpr DWORD kTerminationWaitMs = 2000;

void AskShellToExit() {
  HWND main_form = FindWindowW(kMainFormClass, nullptr);
  if (!main_form) return;
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(main_form, kShellCommandMessage, kShellCommandExit, 0, SMTO_ABORTIFHUNG, kExitCommandTimeoutMs,
                      &ignored);
  for (int poll = 0; poll < kMainWindowPolls && FindWindowW(kMainFormClass, nullptr); ++poll) Sleep(kMainWindowPollMs);
}

void TerminateWindowProcess(HWND window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  // The launcher never ends itself, whatever windows its process may hold.
  if (pid == 0 || pid == GetCurrentProcessId()) return;
  sv::Handle process(OpenProcess(PROCESS_ALL_ACCESS, FALSE, pid));
  if (!process) return;
  if (TerminateProcess(process.Get(), 0)) WaitForSingleObject(process.Get(), kTerminationWaitMs);
}

BOOL CALLBACK EndIfApplicationWindow(HWND window, LPARAM) {
  sv::GuardVoid([&] {
    wchar_t title[kNameChars] = {};
    wchar_t window_class[kNameChars] = {};
    int title_length = GetWindowTextW(window, title, kNameChars);
    int class_length = GetClassNameW(window, window_class, kNameChars);
    if (IsCloseAllCandidate(sv::Narrow(std::wstring_view(title, title_length > 0 ? title_length : 0)),
                            sv::Narrow(std::wstring_view(window_class, class_length > 0 ? class_length : 0))))
      TerminateWindowProcess(window);
  });
  return TRUE;  // always on to the last window
}

}  // namespace

void CloseAllCopies() {
  AskShellToExit();
  EnumWindows(EndIfApplicationWindow, 0);
}

}  // namespace launcher
