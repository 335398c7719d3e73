#include "app.h"

#include "main_window.h"
#include "text.h"
#include "wide.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace ui {

HWND ApplicationWindow() { return FindOwnTopWindow(kApplicationClass); }

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
