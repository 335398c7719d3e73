// Solvika.exe, the program the user starts. It has no window of its own: it
// reads its first argument, closes running copies where asked, keeps to one
// running copy, lets the packing library apply downloaded update packages and
// hands the run to the shell (or, for an update run, to the update wizard).
#include <windows.h>

#include <string>
#include <vector>

#include "SolvikaPU.h"
#include "close_all.h"
#include "command_line.h"
#include "guard.h"
#include "launch_rules.h"
#include "library_start.h"
#include "single_instance.h"

namespace {

// A restart waits this long after closing the old copies, so that their
// files are released before the update packages are applied.
constexpr DWORD kRestartPauseMs = 1000;

void Run(const std::vector<std::string>& args) {
  switch (launcher::ModeOf(args)) {
    case launcher::Mode::kCloseAll: launcher::CloseAllCopies(); return;
    case launcher::Mode::kUpdate:
      launcher::CloseAllCopies();
      launcher::RunUpdateWizard();
      return;
    case launcher::Mode::kCloseAndStart:
      launcher::CloseAllCopies();
      Sleep(kRestartPauseMs);
      break;
    case launcher::Mode::kNormalStart: break;
  }
  if (launcher::ActivateRunningCopy(args)) return;
  SolvikaStart();  // SolvikaPU: applies the pending update packages
  launcher::StartShell();
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  sv::GuardVoid([] { Run(launcher::Arguments1251()); });
  return 0;
}
