// A test plugin that crashes inside RunPlugin (a write through a null
// pointer) after it has made a window of its own class.
#include <windows.h>

#include "main_window.h"
#include "plugin_log.h"
#include "sv_abi.h"

namespace {

constexpr wchar_t kFormClass[] = L"TCrashingForm";

}  // namespace

extern "C" {

void SVAPI RegisterPlugin() { testplugin::Log("RegisterPlugin"); }

HWND SVAPI RunPlugin(const char* /*key*/, HWND /*application*/) {
  testplugin::Log("RunPlugin");
  WNDCLASSW wc = {};
  wc.lpfnWndProc = DefMDIChildProcW;
  wc.hInstance = testplugin::ThisModule();
  wc.lpszClassName = kFormClass;
  RegisterClassW(&wc);
  CreateMDIWindowW(kFormClass, L"crashing", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, 200, 100,
                   ui::MdiClientOf(ui::MainWindow()), testplugin::ThisModule(), 0);
  int* volatile nowhere = nullptr;
  *nowhere = 1;
  return nullptr;
}

}  // extern "C"
