#include "single_instance.h"

#include <windows.h>

#include "launch_rules.h"
#include "window_names.h"

namespace launcher {

namespace {

HWND RunningApplicationWindow() {
  if (HWND wizard = FindWindowW(kApplicationClass, kUpdateWizardTitle)) return wizard;
  if (HWND shell = FindWindowW(kApplicationClass, kShellTitle)) return shell;
  return FindWindowW(kOlderApplicationClass, nullptr);
}

}  // namespace

bool ActivateRunningCopy(const std::vector<std::string>& args) {
  if (AllowsMultipleInstances(args)) return false;
  HWND running = RunningApplicationWindow();
  if (!running) return false;
  ShowWindow(running, SW_RESTORE);
  SetForegroundWindow(running);
  return true;
}

}  // namespace launcher
