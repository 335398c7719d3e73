// Menu items that draw themselves: an image from the menu image list, the
// caption in the Cyrillic character set and, when the item has a colour of
// its own, in that colour. The caption stays the item's menu text, so that
// menus can be read and searched like any other.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <list>
#include <string>

#include "win_handles.h"

namespace shell {

constexpr int kNoImage = -1;

class OwnerDrawnMenus {
 public:
  OwnerDrawnMenus();
  void SetImages(HIMAGELIST images) { images_ = images; }

  void AddItem(HMENU menu, UINT id, const std::string& caption1251, const char* shortcut = nullptr,
               int image = kNoImage, const COLORREF* colour = nullptr);
  // A submenu item; returns the new submenu.
  HMENU AddSubmenu(HMENU menu, const std::string& caption1251, int image = kNoImage);
  void AddSeparator(HMENU menu);
  // Removes every item of `menu` (submenus included) and what they drew with.
  void Clear(HMENU menu);

  bool OnMeasureItem(MEASUREITEMSTRUCT* measure);
  bool OnDrawItem(const DRAWITEMSTRUCT* draw);

 private:
  struct Look {
    HMENU owner;
    std::wstring text, shortcut;
    int image;
    bool ownColour;
    COLORREF colour;
  };
  Look* Remember(HMENU owner, const std::string& caption1251, const char* shortcut, int image,
                 const COLORREF* colour);
  void Insert(HMENU menu, UINT id, HMENU submenu, Look* look);

  std::list<Look> looks_;  // item data points here: addresses stay put
  HIMAGELIST images_ = nullptr;
  sv::GdiObject<HFONT> font_;
};

}  // namespace shell
