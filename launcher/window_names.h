// The windows through which the launcher finds running copies of the system:
// other processes create them, so the names are fixed.
#pragma once

#include <windows.h>

namespace launcher {

// The application object of the shell and of the update wizard.
constexpr wchar_t kApplicationClass[] = L"TApplication";
constexpr wchar_t kShellTitle[] = L"Solvika";
constexpr wchar_t kUpdateWizardTitle[] = L"Solvika Update";
// The application object of the older program generation.
constexpr wchar_t kOlderApplicationClass[] = L"TSolvikaApplication";
// The shell's main window, which takes the shell commands.
constexpr wchar_t kMainFormClass[] = L"TSolvikaMainForm";

constexpr UINT kShellCommandMessage = WM_USER + 1;
constexpr WPARAM kShellCommandExit = 1;

}  // namespace launcher
