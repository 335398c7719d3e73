// The window message through which the launcher, the plugins and the other
// libraries drive the shell's main window (class "TSolvikaMainForm"), and
// its commands.
#pragma once

#ifdef _WIN32
#include <windows.h>

// Sent or posted to the main window (class "TSolvikaMainForm"): wParam is the
// command, lParam its argument.
#define WM_SHELL_COMMAND (WM_USER + 1)
#endif

// Commands of WM_SHELL_COMMAND.
enum {
  SVSHELL_RELOAD_PLUGINS = 0,
  SVSHELL_EXIT = 1,
  SVSHELL_CLOSE_ACTIVE_PLUGIN = 2,
  SVSHELL_PLUGIN_ACTIVATED = 3,
  SVSHELL_RESTORE = 4,
  SVSHELL_PLUGINS_MENU = 6,
  SVSHELL_SHOW_BANNER = 7,
  SVSHELL_MODAL_WINDOW = 100,     // lParam: window code of the dialogs library
  SVSHELL_TOGGLE_WINDOW = 101,    // lParam: window code of a non-modal window
  SVSHELL_RUN_COMMAND = 102,      // lParam: command code of the dispatcher
  SVSHELL_UPDATE_DOWNLOADED = 200 // lParam: download job code
};

