// Exports of SolvikaMain.dll, the shell, and the window message through which
// the launcher, the plugins and the other libraries drive its main window.
//
// Text arguments are Windows-1251 texts read up to their first zero byte.
#pragma once
#include "sv_abi.h"

#ifdef SV_BUILDING_MAIN
#define SVMAIN_API SV_EXPORT
#else
#define SVMAIN_API SV_IMPORT
#endif

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

// Runs the whole program (message loop included); returns when the user quit.
SVMAIN_API void SVAPI SolvikaStart(void);
// Queues a popup notice in the corner of the screen; a click on it opens the
// plugin of `pluginKey` (may be empty). Ignored before the shell has started.
SVMAIN_API void SVAPI ShowPopup(const char* text, const char* title, const char* pluginKey);
// Modal error box (error icon, topmost); an empty caption means the
// application title.
SVMAIN_API void SVAPI MsgBoxError(const char* text, const char* caption);
// Modal password prompt. *password receives what the user typed, or a string
// of length 1 holding the byte 0 when the user cancelled.
SVMAIN_API void SVAPI InputPassword(SvStr* password, const char* prompt);
SVMAIN_API int32_t SVAPI GetModuleVersion(void);
