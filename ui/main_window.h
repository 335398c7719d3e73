// The application's main window as libraries and plugins reach it: the
// top-level window of class "TSolvikaMainForm" of the calling process (never
// one of another running copy) and its MDI client, on which plugin windows
// open. The commands it obeys are those of WM_SHELL_COMMAND (SolvikaMain.h).
#pragma once

#include <windows.h>

#include <string_view>

namespace ui {

constexpr wchar_t kMainWindowClass[] = L"TSolvikaMainForm";
constexpr wchar_t kMdiClientClass[] = L"MDICLIENT";

// The first top-level window of `windowClass` of this process, or null.
HWND FindOwnTopWindow(const wchar_t* windowClass);
// The main window of this process, or null.
HWND MainWindow();
// The MDI client child of `frame`, or null.
HWND MdiClientOf(HWND frame);
// The main window's MDI client, or null.
HWND MainMdiClient();
// The active MDI child of the main window's MDI client, or null.
HWND ActiveMdiChild();
// The active MDI child of `mdiClient`, or null.
HWND ActiveMdiChild(HWND mdiClient);
// Creates an MDI child of class `windowClass` (registered by `module`) with
// the caption `title1251` on `mdiClient`; null when that fails.
HWND CreateMdiChild(HWND mdiClient, const wchar_t* windowClass, std::string_view title1251, HINSTANCE module,
                    DWORD style = 0, LPARAM param = 0);

}  // namespace ui
