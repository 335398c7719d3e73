// The program's icon in the notification area, removed again with its owner.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace shell {

class TrayIcon {
 public:
  TrayIcon() = default;
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;
  ~TrayIcon() { Remove(); }

  // Shows `icon` with the hint `tip1251`; clicks arrive at `window` as
  // `callbackMessage` with the mouse message in lParam.
  bool Add(HWND window, UINT callbackMessage, HICON icon, std::string_view tip1251);
  // Adds the icon again after the taskbar was re-created (Explorer restarted).
  void Readd();
  void Remove();

 private:
  bool Notify(DWORD action);

  HWND window_ = nullptr;
  UINT callbackMessage_ = 0;
  HICON icon_ = nullptr;
  std::wstring tip_;
  bool added_ = false;
};

}  // namespace shell
