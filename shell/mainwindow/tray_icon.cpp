#include "tray_icon.h"

#include <shellapi.h>

#include "wide.h"

namespace shell {

namespace {
constexpr UINT kTrayIconId = 1;
}  // namespace

bool TrayIcon::Add(HWND window, UINT callbackMessage, HICON icon, std::string_view tip1251) {
  Remove();
  window_ = window;
  callbackMessage_ = callbackMessage;
  icon_ = icon;
  tip_ = sv::Wide(tip1251);
  added_ = Notify(NIM_ADD);
  return added_;
}

void TrayIcon::Readd() {
  if (window_) added_ = Notify(NIM_ADD);
}

void TrayIcon::Remove() {
  if (added_) Notify(NIM_DELETE);
  added_ = false;
}

bool TrayIcon::Notify(DWORD action) {
  NOTIFYICONDATAW data = {};
  data.cbSize = sizeof(data);
  data.hWnd = window_;
  data.uID = kTrayIconId;
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = callbackMessage_;
  data.hIcon = icon_;
  lstrcpynW(data.szTip, tip_.c_str(), static_cast<int>(sizeof(data.szTip) / sizeof(data.szTip[0])));
  return Shell_NotifyIconW(action, &data) != 0;
}

}  // namespace shell
