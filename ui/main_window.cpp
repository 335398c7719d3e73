#include "main_window.h"

namespace ui {

namespace {

struct Search {
  DWORD process;
  HWND found;
};

BOOL CALLBACK MatchMainWindow(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != search->process) return TRUE;
  wchar_t name[64] = {};
  GetClassNameW(window, name, (int)(sizeof(name) / sizeof(name[0])));
  if (lstrcmpW(name, kMainWindowClass) != 0) return TRUE;
  search->found = window;
  return FALSE;
}

}  // namespace

HWND MainWindow() {
  Search search = {GetCurrentProcessId(), nullptr};
  EnumWindows(MatchMainWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND MdiClientOf(HWND frame) { return frame ? FindWindowExW(frame, nullptr, kMdiClientClass, nullptr) : nullptr; }

HWND ActiveMdiChild() {
  HWND client = MdiClientOf(MainWindow());
  return client ? reinterpret_cast<HWND>(SendMessageW(client, WM_MDIGETACTIVE, 0, 0)) : nullptr;
}

}  // namespace ui
