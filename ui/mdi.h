// Plugin windows are MDI children of the shell's main window: a module finds
// the main window of its own process and its MDI client, and creates its
// window there with a window class of its own.
#pragma once

#include <windows.h>

#include <string_view>

namespace ui {

constexpr wchar_t kMainWindowClass[] = L"TSolvikaMainForm";

// The main window of the calling process, or null.
HWND MainWindow();
// Its MDI client, or null.
HWND MainMdiClient();
// Creates an MDI child of class `windowClass` (registered by `module`) with
// the caption `title1251` on `mdiClient`; null when that fails.
HWND CreateMdiChild(HWND mdiClient, const wchar_t* windowClass, std::string_view title1251, HINSTANCE module,
                    DWORD style = 0, LPARAM param = 0);
// The active MDI child of `mdiClient`, or null.
HWND ActiveMdiChild(HWND mdiClient);

}  // namespace ui
