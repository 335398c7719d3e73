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

#include "sv_shell.h"

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
