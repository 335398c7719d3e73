// Resource ids of the main window (the shell keeps its ids in 2000-2999;
// the menu commands are in main_menu.h).
#pragma once

#define IDI_SOLVIKA 2200
