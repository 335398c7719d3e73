#include "plugin_list_panel.h"

#include "app.h"
#include "fonts.h"
#include "text.h"
#include "wide.h"

namespace shell {

namespace {

constexpr int kHeaderHeight = 22;
constexpr int kButtonWidth = 20, kButtonHeight = 18;
constexpr int kCloseButtonFromRight = 22, kViewButtonFromRight = 50;
constexpr int kListBorder = 10;
constexpr int kColumnWidth = 350;
constexpr int kCloseId = 2601, kViewId = 2602, kListId = 2603;
constexpr UINT_PTR kListSubclass = 1;
constexpr COLORREF kHeaderRowColour = RGB(96, 96, 96);
constexpr COLORREF kHeaderBarColour = RGB(0, 84, 166);
constexpr COLORREF kHeaderTextColour = RGB(255, 255, 255);

}  // namespace

bool StatusColour(uint8_t status, COLORREF* colour) {
  switch (status) {
    case kPluginOutdated: *colour = RGB(204, 119, 0); return true;
    case kPluginNotInstalled: *colour = RGB(255, 0, 0); return true;
    case kPluginWaitingForRestart: *colour = RGB(0, 160, 0); return true;
    case kPluginGroupHeader: *colour = kHeaderRowColour; return true;
    default: return false;
  }
}

std::string PluginRowText(const ListedPlugin& plugin) {
  return plugin.status == kPluginGroupHeader ? "  " + plugin.name : plugin.name;
}

RECT FitPluginListPanel(const RECT& previous, SIZE previousArea, SIZE area) {
  int width = previous.right - previous.left + (area.cx - previousArea.cx);
  int height = previous.bottom - previous.top + (area.cy - previousArea.cy);
  width = width < kPluginListMinWidth ? kPluginListMinWidth : width > kPluginListMaxWidth ? kPluginListMaxWidth : width;
  height = height < kPluginListMinHeight ? kPluginListMinHeight
           : height > kPluginListMaxHeight ? kPluginListMaxHeight
                                           : height;
  return RECT{previous.left, previous.top, previous.left + width, previous.top + height};
}

LRESULT CALLBACK PluginListProcedure(HWND list, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                     DWORD_PTR data) {
  auto* panel = reinterpret_cast<PluginListPanel*>(data);
  if (message == WM_SETCURSOR && LOWORD(lparam) == HTCLIENT) {
    POINT at;
    GetCursorPos(&at);
    ScreenToClient(list, &at);
    if (panel->OverPluginRow(at)) {
      SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HAND)));
      return TRUE;
    }
  }
  if (message == WM_MOUSEMOVE) {
    POINT at = {(short)LOWORD(lparam), (short)HIWORD(lparam)};
    LVHITTESTINFO hit = {};
    hit.pt = at;
    int row = (int)SendMessageW(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    bool plugin = panel->OverPluginRow(at);
    // Hot tracking only over plugin rows, not over headers or empty space.
    SendMessageW(list, LVM_SETHOTITEM, plugin ? row : -1, 0);
  }
  return DefSubclassProc(list, message, wparam, lparam);
}

bool PluginListPanel::OverPluginRow(POINT client) const {
  LVHITTESTINFO hit = {};
  hit.pt = client;
  int row = (int)SendMessageW(list_.Handle(), LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
  return row >= 0 && row < (int)plugins_.size() && (hit.flags & LVHT_ONITEM) &&
         plugins_[row].status != kPluginGroupHeader;
}

bool PluginListPanel::Create(HWND parent, HIMAGELIST images) {
  ui::RegisterWindowClass(ui::ThisModule(), kPluginListPanelClass, GetSysColorBrush(COLOR_BTNFACE));
  font_ = ui::DialogFont();
  boldFont_ = ui::DialogFont(FW_BOLD);
  RECT client;
  GetClientRect(parent, &client);
  area_ = SIZE{client.right, client.bottom};
  int x = (client.right - kPluginListWidth) / 2, y = (client.bottom - kPluginListHeight) / 2;
  if (x < 0) x = 0;
  if (y < 0) y = 0;
  if (!Window::Create(0, kPluginListPanelClass, L"", WS_CHILD | WS_CLIPCHILDREN | WS_VISIBLE, x, y,
                      kPluginListWidth, kPluginListHeight, parent, ui::ThisModule()))
    return false;
  auto button = [&](const wchar_t* text, int id) {
    HWND b = CreateWindowExW(0, L"BUTTON", text, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON | BS_FLAT, 0, 0, kButtonWidth,
                             kButtonHeight, Handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                             ui::ThisModule(), nullptr);
    SendMessageW(b, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
    return b;
  };
  closeButton_ = button(L"\u00D7", kCloseId);
  viewButton_ = button(L"\u2261", kViewId);
  HWND list = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                              WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL | LVS_NOCOLUMNHEADER |
                                  LVS_SHOWSELALWAYS,
                              0, 0, 0, 0, Handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(kListId)),
                              ui::ThisModule(), nullptr);
  SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  if (images) {
    SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));
    SendMessageW(list, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(images));
  }
  LVCOLUMNW column = {};
  column.mask = LVCF_WIDTH;
  column.cx = kColumnWidth;
  SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
  SetWindowSubclass(list, PluginListProcedure, kListSubclass, reinterpret_cast<DWORD_PTR>(this));
  list_.Attach(list);
  list_.SetSource([this](int row, int) { return row < (int)plugins_.size() ? PluginRowText(plugins_[row]) : ""; },
                  [this](int row) {
                    return row < (int)plugins_.size() && plugins_[row].status != kPluginGroupHeader
                               ? plugins_[row].imageIndex
                               : -1;
                  });
  LayOut();
  return true;
}

void PluginListPanel::ShowPanel(bool show) {
  ShowWindow(Handle(), show ? SW_SHOW : SW_HIDE);
  if (show) SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

bool PluginListPanel::Shown() const { return IsWindowVisible(Handle()) != FALSE; }

void PluginListPanel::FitTo(SIZE area) {
  if (!Handle()) return;
  RECT r;
  GetWindowRect(Handle(), &r);
  MapWindowPoints(nullptr, GetParent(Handle()), reinterpret_cast<POINT*>(&r), 2);
  RECT fitted = FitPluginListPanel(r, area_, area);
  area_ = area;
  MoveWindow(Handle(), fitted.left, fitted.top, fitted.right - fitted.left, fitted.bottom - fitted.top, TRUE);
}

void PluginListPanel::Refresh() {
  list_.SetRowCount(static_cast<int>(plugins_.size()));
  SendMessageW(list_.Handle(), LVM_SETCOLUMNWIDTH, 0, kColumnWidth);
}

void PluginListPanel::SetListStyle(bool list) {
  LONG_PTR style = GetWindowLongPtrW(list_.Handle(), GWL_STYLE);
  style = (style & ~LVS_TYPEMASK) | (list ? LVS_LIST : LVS_REPORT);
  SetWindowLongPtrW(list_.Handle(), GWL_STYLE, style);
  // In list style the column width is that of every column of names.
  SendMessageW(list_.Handle(), LVM_SETCOLUMNWIDTH, 0, kColumnWidth);
  InvalidateRect(list_.Handle(), nullptr, TRUE);
}

bool PluginListPanel::ListStyle() const {
  return (GetWindowLongPtrW(list_.Handle(), GWL_STYLE) & LVS_TYPEMASK) == LVS_LIST;
}

void PluginListPanel::LayOut() {
  RECT r;
  GetClientRect(Handle(), &r);
  MoveWindow(closeButton_, r.right - kCloseButtonFromRight, 2, kButtonWidth, kButtonHeight, TRUE);
  MoveWindow(viewButton_, r.right - kViewButtonFromRight, 2, kButtonWidth, kButtonHeight, TRUE);
  MoveWindow(list_.Handle(), kListBorder, kHeaderHeight + kListBorder, r.right - 2 * kListBorder,
             r.bottom - kHeaderHeight - 2 * kListBorder, TRUE);
}

void PluginListPanel::Paint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(Handle(), &ps);
  RECT r;
  GetClientRect(Handle(), &r);
  FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
  RECT bar = {r.left, r.top, r.right, r.top + kHeaderHeight};
  sv::GdiObject<HBRUSH> barBrush(CreateSolidBrush(kHeaderBarColour));
  FillRect(dc, &bar, barBrush.Get());
  sv::SelectedObject font(dc, boldFont_.Get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, kHeaderTextColour);
  std::wstring caption = sv::Wide(sv::Ru(u8"  Solvika - Содержание"));
  DrawTextW(dc, caption.c_str(), (int)caption.size(), &bar, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  DrawEdge(dc, &r, BDR_SUNKENINNER, BF_RECT);
  EndPaint(Handle(), &ps);
}

LRESULT PluginListPanel::OnCustomDraw(NMLVCUSTOMDRAW* draw) {
  switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: {
      int row = static_cast<int>(draw->nmcd.dwItemSpec);
      if (row < 0 || row >= (int)plugins_.size()) return CDRF_DODEFAULT;
      COLORREF colour;
      if (StatusColour(plugins_[row].status, &colour)) draw->clrText = colour;
      if (plugins_[row].status == kPluginGroupHeader) {
        SelectObject(draw->nmcd.hdc, boldFont_.Get());
        return CDRF_NEWFONT;
      }
      return CDRF_DODEFAULT;
    }
  }
  return CDRF_DODEFAULT;
}

void PluginListPanel::OnListClick() {
  POINT at;
  GetCursorPos(&at);
  ScreenToClient(list_.Handle(), &at);
  LVHITTESTINFO hit = {};
  hit.pt = at;
  int row = (int)SendMessageW(list_.Handle(), LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
  if (row >= 0 && row < (int)plugins_.size() && plugins_[row].status != kPluginGroupHeader && onOpen_) onOpen_(row);
}

bool PluginListPanel::OnMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) {
  switch (message) {
    case WM_SIZE:
      LayOut();
      return false;
    case WM_PAINT:
      Paint();
      *result = 0;
      return true;
    case WM_COMMAND:
      if (LOWORD(wparam) == kCloseId) {
        ShowPanel(false);
      } else if (LOWORD(wparam) == kViewId) {
        SetListStyle(!ListStyle());
        if (onStyleChanged) onStyleChanged(ListStyle());
      }
      *result = 0;
      return true;
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lparam);
      if (list_.OnNotify(header)) {
        *result = 0;
        return true;
      }
      if (header->hwndFrom == list_.Handle() && header->code == NM_CUSTOMDRAW) {
        *result = OnCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(lparam));
        return true;
      }
      if (header->hwndFrom == list_.Handle() && header->code == NM_CLICK) {
        OnListClick();
        *result = 0;
        return true;
      }
      return false;
    }
  }
  return false;
}

}  // namespace shell
