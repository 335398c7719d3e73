// Resource ids of the shell's pictures (the shell's range for them is
// 2300-2399).
#pragma once

#define IDB_MENU_IMAGES 2300
#define IDI_PLUGIN 2301
