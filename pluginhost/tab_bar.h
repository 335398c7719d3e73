// The plugin tab bar "TPluginsPageControl": a 28 pixel high panel kept at the
// bottom of its parent, holding a tab control with one tab (and one icon) per
// open plugin and, when the shell made it, a "SOLVIKA" button at its left
// that opens the plugins menu of the main window.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>

#include "win_handles.h"

namespace plugins {

constexpr wchar_t kTabBarClass[] = L"TPluginsPageControl";
constexpr int kTabBarHeight = 28;
constexpr int kTabBarBorder = 2;
constexpr int kButtonPanelWidth = 110;
constexpr int kButtonLeft = 1;
constexpr int kButtonTop = 1;
constexpr int kButtonWidth = 105;
constexpr int kButtonHeight = 23;
constexpr int kTabFontPoints = 9;
constexpr int kIconSize = 16;

class TabBar {
 public:
  using SelectHandler = std::function<void(int position)>;

  // Creates the bar on `parent`; null when the window cannot be made.
  // `on_select` is told when the user selects a tab.
  static std::unique_ptr<TabBar> Create(HWND parent, bool with_button, SelectHandler on_select);
  ~TabBar();
  TabBar(const TabBar&) = delete;
  TabBar& operator=(const TabBar&) = delete;

  HWND Handle() const { return window_; }
  // Appends a tab with `icon` (may be null); returns the icon's image index,
  // -1 when it has none.
  int Append(const std::string& caption1251, HICON icon);
  void Delete(int position, int image);
  void SetImage(int position, int image);
  // Selects a tab without telling the select handler.
  void Select(int position);

 private:
  TabBar(SelectHandler on_select) : on_select_(std::move(on_select)) {}
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  static LRESULT CALLBACK ParentHook(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                                     DWORD_PTR data);
  bool Build(HWND parent, bool with_button);
  void AlignToParentBottom();
  void Layout();
  void OnButtonClick();

  HWND window_ = nullptr;
  HWND parent_ = nullptr;
  HWND tabs_ = nullptr;
  HWND button_ = nullptr;
  HIMAGELIST images_ = nullptr;
  sv::GdiObject<HFONT> tab_font_;
  sv::GdiObject<HFONT> button_font_;
  SelectHandler on_select_;
};

}  // namespace plugins
