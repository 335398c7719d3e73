// The main menu and the tray menu of the main window, built from tables: each
// item's caption (trailing spaces included, as the menus show them), image,
// shortcut and what it does.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "menu_items.h"
#include "win_handles.h"

namespace shell {

// Command ids of the menu items (the shell's range).
enum MenuId : UINT {
  kMenuToggleContents = 2401,
  kMenuHide,
  kMenuExit,
  kMenuMaximizePlugin,
  kMenuCascade,
  kMenuTile,
  kMenuToggleSearch,
  kMenuCloseActive,
  kMenuCloseAll,
  kMenuCheckUpdates,
  kMenuDownloads,
  kMenuSettings,
  kMenuAccess,
  kMenuBackup,
  kMenuPayInfo,
  kMenuPay,
  kMenuPayHistory,
  kMenuPayManage,
  kMenuFriends,
  kMenuShare,
  kMenuAgents,
  kMenuPartners,
  kMenuPaySupport,
  kMenuHomePage,
  kMenuForum,
  kMenuLetter,
  kMenuErrorReport,
  kMenuAbout,
  kMenuWhereToGet,
  kMenuTrayOpen,
  kMenuTrayHide,
  kMenuTrayExit,
  kFirstSkinMenuId = 2500,   // one per skin, in menu order
  kFirstPluginMenuId = 3000  // plus the plugin's index in the plugin array
};
constexpr UINT kLastSkinMenuId = kFirstPluginMenuId - 1;
constexpr UINT kLastPluginMenuId = 0xEFFF;  // below the MDI children's ids

// What a fixed menu item posts to the main window, when it posts anything.
struct PostedCommand {
  bool posts = false;
  WPARAM command = 0;
  LPARAM argument = 0;
};
PostedCommand PostedCommandOf(UINT id);

struct MenuItemSpec {
  UINT id;
  const char* captionUtf8;
  int image;
  const char* shortcut;
};

// Table of the main menu: each top menu with its items (id 0: separator).
struct TopMenuSpec {
  const char* captionUtf8;
  std::vector<MenuItemSpec> items;
};
const std::vector<TopMenuSpec>& MainMenuSpec();

// The handles of the menus built from the table.
struct MainMenus {
  sv::Menu bar;            // the window's menu (owned until given to the window)
  HMENU contents = nullptr;  // "Содержание    ": groups and plugins
  HMENU skins = nullptr;     // "Скины"
  HMENU view = nullptr;      // "Вид    " (holds the search item's tick)
};

// `backupAvailable`: "SolvikaDump.dll" is in the program folder.
MainMenus BuildMainMenu(OwnerDrawnMenus& items, bool backupAvailable);
// The tray menu (its first submenu is the popup to track).
sv::Menu BuildTrayMenu(OwnerDrawnMenus& items);

// The accelerator keys of every item with a shortcut.
HACCEL BuildAccelerators();

}  // namespace shell
