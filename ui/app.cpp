#include "app.h"

#include "main_window.h"
#include "text.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace ui {

namespace {

struct Search {
  DWORD process;
  HWND found;
};

BOOL CALLBACK MatchApplication(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != search->process) return TRUE;
  wchar_t name[64] = {};
  GetClassNameW(window, name, (int)(sizeof(name) / sizeof(name[0])));
  if (lstrcmpW(name, kApplicationClass) != 0) return TRUE;
  search->found = window;
  return FALSE;
}

}  // namespace

HWND ApplicationWindow() {
  Search search = {GetCurrentProcessId(), nullptr};
  EnumWindows(MatchApplication, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string ApplicationTitle() {
  HWND app = ApplicationWindow();
  return app ? GetText(app) : std::string(kDefaultApplicationTitle);
}

HICON ApplicationIcon() {
  HICON icon = nullptr;
  if (HWND app = ApplicationWindow()) {
    icon = reinterpret_cast<HICON>(SendMessageW(app, WM_GETICON, ICON_SMALL, 0));
    if (!icon) icon = reinterpret_cast<HICON>(GetClassLongPtrW(app, GCLP_HICON));
  }
  if (!icon) {
    if (HWND main = MainWindow()) icon = reinterpret_cast<HICON>(GetClassLongPtrW(main, GCLP_HICON));
  }
  return icon ? icon : LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
}

HINSTANCE ThisModule() { return reinterpret_cast<HINSTANCE>(&__ImageBase); }

}  // namespace ui
