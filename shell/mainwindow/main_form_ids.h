// Resource and command ids of the main window (the shell keeps its ids in
// 2000-2999).
#pragma once

#define IDI_SOLVIKA 2200
#define IDM_TRAY 2210
#define IDM_TRAY_OPEN 2211
#define IDM_TRAY_HIDE 2212
#define IDM_TRAY_EXIT 2213
