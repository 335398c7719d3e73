#include "menu_items.h"

#include "fonts.h"
#include "wide.h"

namespace shell {

namespace {

constexpr int kImageSize = 16;
constexpr int kImageColumn = 24;   // image and its margins, left of the caption
constexpr int kShortcutGap = 24;   // between caption and shortcut
constexpr int kSubmenuArrowRoom = 16;
constexpr int kMinItemHeight = 22;
constexpr int kSeparatorHeight = 8;
constexpr ULONG_PTR kSeparatorData = 1;  // a separator's item data: no look

}  // namespace

OwnerDrawnMenus::OwnerDrawnMenus() : font_(ui::DialogFont()) {}

OwnerDrawnMenus::Look* OwnerDrawnMenus::Remember(HMENU owner, const std::string& caption1251, const char* shortcut,
                                                 int image, const COLORREF* colour) {
  looks_.push_back(Look{owner, sv::Wide(caption1251), shortcut ? sv::Wide(shortcut) : std::wstring(), image,
                        colour != nullptr, colour ? *colour : 0});
  return &looks_.back();
}

void OwnerDrawnMenus::Insert(HMENU menu, UINT id, HMENU submenu, Look* look) {
  // The menu text carries the shortcut after a tab, as plain menus do.
  std::wstring text = look->text;
  if (!look->shortcut.empty()) text += L"\t" + look->shortcut;
  MENUITEMINFOW info = {};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_FTYPE | MIIM_STRING | MIIM_DATA | MIIM_ID | (submenu ? MIIM_SUBMENU : 0);
  info.fType = MFT_OWNERDRAW;
  info.wID = id;
  info.hSubMenu = submenu;
  info.dwItemData = reinterpret_cast<ULONG_PTR>(look);
  info.dwTypeData = &text[0];
  InsertMenuItemW(menu, GetMenuItemCount(menu), TRUE, &info);
}

void OwnerDrawnMenus::AddItem(HMENU menu, UINT id, const std::string& caption1251, const char* shortcut, int image,
                              const COLORREF* colour) {
  Insert(menu, id, nullptr, Remember(menu, caption1251, shortcut, image, colour));
}

HMENU OwnerDrawnMenus::AddSubmenu(HMENU menu, const std::string& caption1251, int image) {
  HMENU submenu = CreatePopupMenu();
  Insert(menu, 0, submenu, Remember(menu, caption1251, nullptr, image, nullptr));
  return submenu;
}

void OwnerDrawnMenus::AddSeparator(HMENU menu) {
  MENUITEMINFOW info = {};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_FTYPE | MIIM_DATA;
  info.fType = MFT_SEPARATOR | MFT_OWNERDRAW;
  info.dwItemData = kSeparatorData;
  InsertMenuItemW(menu, GetMenuItemCount(menu), TRUE, &info);
}

void OwnerDrawnMenus::Clear(HMENU menu) {
  for (int i = GetMenuItemCount(menu) - 1; i >= 0; --i) {
    if (HMENU sub = GetSubMenu(menu, i)) Clear(sub);
    DeleteMenu(menu, i, MF_BYPOSITION);  // destroys a submenu with its item
  }
  looks_.remove_if([menu](const Look& look) { return look.owner == menu; });
}

bool OwnerDrawnMenus::OnMeasureItem(MEASUREITEMSTRUCT* measure) {
  if (measure->CtlType != ODT_MENU) return false;
  if (measure->itemData == kSeparatorData) {
    measure->itemWidth = kImageColumn;
    measure->itemHeight = kSeparatorHeight;
    return true;
  }
  auto* look = reinterpret_cast<const Look*>(measure->itemData);
  if (!look) return false;
  sv::WindowDC screen(nullptr);
  sv::SelectedObject font(screen.Get(), font_.Get());
  SIZE text = {}, shortcut = {};
  GetTextExtentPoint32W(screen.Get(), look->text.c_str(), (int)look->text.size(), &text);
  if (!look->shortcut.empty())
    GetTextExtentPoint32W(screen.Get(), look->shortcut.c_str(), (int)look->shortcut.size(), &shortcut);
  measure->itemWidth = kImageColumn + text.cx + (shortcut.cx ? kShortcutGap + shortcut.cx : 0) + kSubmenuArrowRoom;
  measure->itemHeight = text.cy + 8 > kMinItemHeight ? text.cy + 8 : kMinItemHeight;
  return true;
}

bool OwnerDrawnMenus::OnDrawItem(const DRAWITEMSTRUCT* draw) {
  if (draw->CtlType != ODT_MENU) return false;
  HDC dc = draw->hDC;
  RECT r = draw->rcItem;
  if (draw->itemData == kSeparatorData) {
    FillRect(dc, &r, GetSysColorBrush(COLOR_MENU));
    RECT line = {r.left + kImageColumn, (r.top + r.bottom) / 2 - 1, r.right, (r.top + r.bottom) / 2 + 1};
    DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
    return true;
  }
  auto* look = reinterpret_cast<const Look*>(draw->itemData);
  if (!look) return false;
  bool selected = (draw->itemState & ODS_SELECTED) != 0;
  bool grayed = (draw->itemState & (ODS_GRAYED | ODS_DISABLED)) != 0;
  FillRect(dc, &r, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
  int imageTop = r.top + (r.bottom - r.top - kImageSize) / 2;
  if (images_ && look->image >= 0) {
    ImageList_Draw(images_, look->image, dc, r.left + 4, imageTop, ILD_TRANSPARENT);
    if (draw->itemState & ODS_CHECKED) {
      RECT frame = {r.left + 2, imageTop - 2, r.left + 6 + kImageSize, imageTop + kImageSize + 2};
      DrawEdge(dc, &frame, BDR_SUNKENOUTER, BF_RECT);
    }
  } else if (draw->itemState & ODS_CHECKED) {
    RECT mark = {r.left + 4, imageTop, r.left + 4 + kImageSize, imageTop + kImageSize};
    DrawFrameControl(dc, &mark, DFC_MENU, DFCS_MENUCHECK);
  }
  COLORREF text = grayed      ? GetSysColor(COLOR_GRAYTEXT)
                  : selected  ? GetSysColor(COLOR_HIGHLIGHTTEXT)
                  : look->ownColour ? look->colour
                                    : GetSysColor(COLOR_MENUTEXT);
  sv::SelectedObject font(dc, font_.Get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, text);
  RECT caption = {r.left + kImageColumn, r.top, r.right - kSubmenuArrowRoom, r.bottom};
  DrawTextW(dc, look->text.c_str(), (int)look->text.size(), &caption, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  if (!look->shortcut.empty())
    DrawTextW(dc, look->shortcut.c_str(), (int)look->shortcut.size(), &caption,
              DT_SINGLELINE | DT_VCENTER | DT_RIGHT | DT_NOPREFIX);
  return true;
}

}  // namespace shell
