// The application's main window as libraries and plugins reach it: the
// top-level window of class "TSolvikaMainForm" of the calling process (never
// one of another running copy), its MDI client, and the message through which
// they drive it.
#pragma once

#include <windows.h>

namespace ui {

constexpr wchar_t kMainWindowClass[] = L"TSolvikaMainForm";
constexpr wchar_t kMdiClientClass[] = L"MDICLIENT";

// WM_SHELL_COMMAND: wParam the command, lParam its argument.
constexpr UINT kShellCommandMessage = WM_USER + 1;

// Commands of kShellCommandMessage that plugin windows and the tab bar send.
constexpr WPARAM kShellClosePlugin = 2;
constexpr WPARAM kShellPluginActivated = 3;
constexpr WPARAM kShellPluginsMenu = 6;

// The main window of this process, or null.
HWND MainWindow();
// The MDI client child of `frame`, or null.
HWND MdiClientOf(HWND frame);
// The active MDI child of the main window's MDI client, or null.
HWND ActiveMdiChild();

}  // namespace ui
