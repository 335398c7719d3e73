#include "tab_bar.h"

#include <commctrl.h>

#include "app.h"
#include "fonts.h"
#include "guard.h"
#include "main_window.h"
#include "sv_shell.h"
#include "tab_bar_ids.h"
#include "wide.h"

namespace plugins {

namespace {

constexpr UINT_PTR kParentHookId = 0x5356;  // one hook of this library per parent
constexpr int kImagesGrowBy = 4;
constexpr int kButtonTextLength = 64;

void RegisterTabBarClass(WNDPROC procedure) {
  WNDCLASSW existing = {};
  if (GetClassInfoW(ui::ThisModule(), kTabBarClass, &existing)) return;
  WNDCLASSW wc = {};
  wc.lpfnWndProc = procedure;
  wc.hInstance = ui::ThisModule();
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kTabBarClass;
  RegisterClassW(&wc);
}

std::wstring ButtonCaption() {
  wchar_t text[kButtonTextLength] = {};
  int length = LoadStringW(ui::ThisModule(), IDS_TABBAR_BUTTON, text, kButtonTextLength);
  return std::wstring(text, length > 0 ? (size_t)length : 0);
}

}  // namespace

std::unique_ptr<TabBar> TabBar::Create(HWND parent, bool with_button, SelectHandler on_select) {
  if (!parent || !IsWindow(parent)) return nullptr;
  std::unique_ptr<TabBar> bar(new TabBar(std::move(on_select)));
  if (!bar->Build(parent, with_button)) return nullptr;
  return bar;
}

bool TabBar::Build(HWND parent, bool with_button) {
  INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  RegisterTabBarClass(Procedure);

  parent_ = parent;
  RECT area = {};
  GetClientRect(parent, &area);
  window_ =
      CreateWindowExW(0, kTabBarClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0,
                      area.bottom - kTabBarHeight, area.right, kTabBarHeight, parent, nullptr, ui::ThisModule(), this);
  if (!window_) return false;

  tab_font_.Reset(ui::CreatePointFont(kTabFontPoints, false));
  tabs_ = CreateWindowExW(
      0, WC_TABCONTROLW, L"",
      WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TCS_BUTTONS | TCS_FLATBUTTONS | TCS_HOTTRACK | TCS_FOCUSNEVER, 0, 0, 0,
      0, window_, reinterpret_cast<HMENU>(IDC_TABBAR_TABS), ui::ThisModule(), nullptr);
  if (!tabs_) return false;
  SendMessageW(tabs_, WM_SETFONT, reinterpret_cast<WPARAM>(tab_font_.Get()), FALSE);
  images_ = ImageList_Create(kIconSize, kIconSize, ILC_COLOR32 | ILC_MASK, kImagesGrowBy, kImagesGrowBy);
  SendMessageW(tabs_, TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_));

  if (with_button) {
    button_font_.Reset(ui::CreatePointFont(kTabFontPoints, true));
    button_ = CreateWindowExW(0, L"BUTTON", ButtonCaption().c_str(), WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON | BS_FLAT, 0,
                              0, kButtonWidth, kButtonHeight, window_, reinterpret_cast<HMENU>(IDC_TABBAR_BUTTON),
                              ui::ThisModule(), nullptr);
    if (button_) {
      SendMessageW(button_, WM_SETFONT, reinterpret_cast<WPARAM>(button_font_.Get()), FALSE);
      SendMessageW(button_, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(ui::ApplicationIcon()));
    }
  }

  // The bar stays at the bottom of its parent whatever size the parent takes.
  SetWindowSubclass(parent_, ParentHook, kParentHookId, reinterpret_cast<DWORD_PTR>(this));
  AlignToParentBottom();
  Layout();
  return true;
}

TabBar::~TabBar() {
  if (window_ && IsWindow(window_)) DestroyWindow(window_);
  if (images_) ImageList_Destroy(images_);
}

void TabBar::AlignToParentBottom() {
  if (!window_ || !parent_) return;
  RECT area = {};
  GetClientRect(parent_, &area);
  SetWindowPos(window_, HWND_TOP, 0, area.bottom - kTabBarHeight, area.right, kTabBarHeight, SWP_NOACTIVATE);
}

void TabBar::Layout() {
  RECT area = {};
  GetClientRect(window_, &area);
  int left = kTabBarBorder;
  if (button_) {
    MoveWindow(button_, left + kButtonLeft, kTabBarBorder + kButtonTop, kButtonWidth, kButtonHeight, TRUE);
    left += kButtonPanelWidth;
  }
  int width = area.right - kTabBarBorder - left;
  int height = area.bottom - 2 * kTabBarBorder;
  if (tabs_) MoveWindow(tabs_, left, kTabBarBorder, width > 0 ? width : 0, height > 0 ? height : 0, TRUE);
}

void TabBar::OnButtonClick() {
  if (HWND main = ui::MainWindow()) SendMessageW(main, WM_SHELL_COMMAND, SVSHELL_PLUGINS_MENU, 0);
}

int TabBar::Append(const std::string& caption1251, HICON icon) {
  std::wstring text = sv::Wide(caption1251);
  TCITEMW item = {};
  item.mask = TCIF_TEXT | TCIF_IMAGE;
  item.pszText = &text[0];
  item.iImage = icon && images_ ? ImageList_AddIcon(images_, icon) : -1;
  int count = (int)SendMessageW(tabs_, TCM_GETITEMCOUNT, 0, 0);
  SendMessageW(tabs_, TCM_INSERTITEMW, (WPARAM)count, reinterpret_cast<LPARAM>(&item));
  return item.iImage;
}

void TabBar::Delete(int position, int image) {
  SendMessageW(tabs_, TCM_DELETEITEM, (WPARAM)position, 0);
  if (image >= 0 && images_) ImageList_Remove(images_, image);
}

void TabBar::SetImage(int position, int image) {
  TCITEMW item = {};
  item.mask = TCIF_IMAGE;
  item.iImage = image;
  SendMessageW(tabs_, TCM_SETITEMW, (WPARAM)position, reinterpret_cast<LPARAM>(&item));
}

void TabBar::Select(int position) { SendMessageW(tabs_, TCM_SETCURSEL, (WPARAM)position, 0); }

LRESULT CALLBACK TabBar::Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return sv::Guard<LRESULT>(0, [&]() -> LRESULT {
    if (message == WM_NCCREATE) {
      auto* created = reinterpret_cast<CREATESTRUCTW*>(lparam);
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created->lpCreateParams));
    }
    auto* bar = reinterpret_cast<TabBar*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!bar) return DefWindowProcW(window, message, wparam, lparam);
    switch (message) {
      case WM_SIZE: bar->Layout(); return 0;
      case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lparam);
        if (header->hwndFrom == bar->tabs_ && header->code == TCN_SELCHANGE) {
          int position = (int)SendMessageW(bar->tabs_, TCM_GETCURSEL, 0, 0);
          if (bar->on_select_) bar->on_select_(position);
          return 0;
        }
        break;
      }
      case WM_COMMAND:
        if (LOWORD(wparam) == IDC_TABBAR_BUTTON && HIWORD(wparam) == BN_CLICKED) {
          bar->OnButtonClick();
          return 0;
        }
        break;
      case WM_DESTROY: RemoveWindowSubclass(bar->parent_, ParentHook, kParentHookId); break;
      case WM_NCDESTROY:
        // The parent may take the bar with it before its owner lets it go.
        bar->window_ = bar->tabs_ = bar->button_ = nullptr;
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        break;
    }
    return DefWindowProcW(window, message, wparam, lparam);
  });
}

LRESULT CALLBACK TabBar::ParentHook(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                                    DWORD_PTR data) {
  return sv::Guard<LRESULT>(0, [&]() -> LRESULT {
    LRESULT result = DefSubclassProc(window, message, wparam, lparam);
    if (message == WM_SIZE) reinterpret_cast<TabBar*>(data)->AlignToParentBottom();
    if (message == WM_NCDESTROY) RemoveWindowSubclass(window, ParentHook, id);
    return result;
  });
}

}  // namespace plugins
