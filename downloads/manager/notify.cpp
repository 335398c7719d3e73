// Tells the rest of the program about update-package jobs: the mark in
// "PatchKeeper.upd" that the plugin catalogue reads, and messages posted to
// the application's main window.
#include <windows.h>

#include "SolvikaDNM.h"
#include "SolvikaUtils.h"
#include "file_io.h"
#include "job/job_store.h"
#include "manager.h"

namespace svdnm {

namespace {

// Shell commands (wParam of SVDNM_WM_SHELL_COMMAND) and their lParam.
const WPARAM kShellRunCommand = 102;            // lParam: a dispatcher command
const LPARAM kDispatchRefreshPatchKeeper = 13;  // the update catalogue reads its mark again
const WPARAM kShellUpdateDownloaded = 200;      // lParam: job code; asks for a restart

struct Search {
  DWORD process;
  HWND found;
};

BOOL CALLBACK MatchMainWindow(HWND window, LPARAM param) {
  auto* s = (Search*)param;
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != s->process) return TRUE;
  wchar_t cls[64];
  if (GetClassNameW(window, cls, 64) && lstrcmpW(cls, L"TSolvikaMainForm") == 0) {
    s->found = window;
    return FALSE;
  }
  return TRUE;
}

// The top-level window of class TSolvikaMainForm of this process (never one
// of another running copy), or null.
HWND MainWindow() {
  Search s{GetCurrentProcessId(), nullptr};
  EnumWindows(MatchMainWindow, (LPARAM)&s);
  return s.found;
}

}  // namespace

void Notify(const JobRecord& job) {
  if (job.iType != 1) return;
  const uint8_t status = job.status;
  if (status == SVDNM_INSTALLED) {
    std::string file = sv::ProgramFolder() + "PatchKeeper.upd";
    SetCustomIniInt("PatchKeeper", job.iParam.c_str(), 1, file.c_str());
  }
  if (status != SVDNM_INSTALLED && status != SVDNM_NOT_FOUND && status != SVDNM_DELETED) return;
  HWND main = MainWindow();
  if (!main) return;
  // Posted, never sent: the manager thread must not wait for the interface.
  PostMessageW(main, SVDNM_WM_SHELL_COMMAND, kShellRunCommand, kDispatchRefreshPatchKeeper);
  if (status == SVDNM_INSTALLED) PostMessageW(main, SVDNM_WM_SHELL_COMMAND, kShellUpdateDownloaded, (LPARAM)job.code);
}

}  // namespace svdnm
