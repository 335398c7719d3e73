#include "app.h"

#include "main_window.h"
#include "text.h"
#include "wide.h"

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

namespace {
// Posted to itself when shown or activated from outside, so that the hiding
// and the restore run after the caller's ShowWindow has finished.
constexpr UINT kRestoreRequested = WM_APP + 1;
}  // namespace

bool ApplicationObject::Create(std::string_view title1251) {
  RegisterWindowClass(ThisModule(), kApplicationClass);
  // Zero-sized and off the taskbar, like the toolkit's application window:
  // only other processes and the modules of this one ever look at it.
  return Window::Create(WS_EX_TOOLWINDOW, kApplicationClass, sv::Wide(title1251).c_str(),
                        WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0, 0, 0, nullptr,
                        ThisModule()) != nullptr;
}

bool ApplicationObject::OnMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) {
  (void)lparam;
  switch (message) {
    case WM_SHOWWINDOW:
      if (wparam) PostMessageW(Handle(), kRestoreRequested, 0, 0);
      return false;
    case WM_ACTIVATE:
      if (LOWORD(wparam) != WA_INACTIVE) PostMessageW(Handle(), kRestoreRequested, 0, 0);
      return false;
    case kRestoreRequested:
      if (IsWindowVisible(Handle())) ShowWindow(Handle(), SW_HIDE);
      if (onRestore_) onRestore_();
      *result = 0;
      return true;
  }
  return false;
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
