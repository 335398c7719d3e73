// "TForm1": the MDI child window that holds an ActiveX plugin's control. Like
// every plugin window it does not close itself: it asks the shell to close
// the active plugin, and it tells the shell when it becomes active.
#pragma once

#include <windows.h>

#include <string>

namespace plugins {

constexpr wchar_t kActiveXFormClass[] = L"TForm1";
constexpr int kActiveXFormWidth = 611;
constexpr int kActiveXFormHeight = 399;
constexpr int kActiveXFormMinWidth = 400;
constexpr int kActiveXFormMinHeight = 260;

// Creates the container with its control for the plugin `key`; null when no
// control was created (the boxes have been shown).
HWND OpenActiveXPlugin(const std::string& key, const std::string& library, const std::string& guid,
                       const std::string& caption);

}  // namespace plugins
