// The plugin list panel "  Solvika - Содержание": a panel over the main
// window's work area with a header bar, a close button and a view-mode
// button, and the virtual list of the plugin array (group headers grey and
// bold, plugins in the colour of their status).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <vector>

#include "plugin_array.h"
#include "virtual_list.h"
#include "window.h"
#include "win_handles.h"

namespace shell {

constexpr wchar_t kPluginListPanelClass[] = L"TSVContentsPanel";
constexpr int kPluginListWidth = 400, kPluginListHeight = 400;
constexpr int kPluginListMinWidth = 400, kPluginListMinHeight = 300;
constexpr int kPluginListMaxWidth = 600, kPluginListMaxHeight = 600;

// The list's text colour for a plugin status; false: the default colour.
bool StatusColour(uint8_t status, COLORREF* colour);
// A row's text: two spaces and the group for a header, else the name.
std::string PluginRowText(const ListedPlugin& plugin);
// Where the panel goes in a work area of the given size when it keeps its
// distances to the edges from `previous` (its last place in `previousArea`).
RECT FitPluginListPanel(const RECT& previous, SIZE previousArea, SIZE area);

class PluginListPanel : public ui::Window {
 public:
  // Called with the array index of a clicked plugin row.
  using OpenHandler = std::function<void(int index)>;

  PluginListPanel(const std::vector<ListedPlugin>& plugins, OpenHandler onOpen)
      : plugins_(plugins), onOpen_(std::move(onOpen)) {}
  bool Create(HWND parent, HIMAGELIST images);

  void ShowPanel(bool show);
  bool Shown() const;
  // The work area it floats over changed size.
  void FitTo(SIZE area);
  // The plugin array changed: one message sets the new row count.
  void Refresh();
  // List style (true) or report style.
  void SetListStyle(bool list);
  bool ListStyle() const;
  HWND List() const { return list_.Handle(); }

  // Called when the view-mode button switched the style.
  std::function<void(bool listStyle)> onStyleChanged;

 private:
  bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) override;
  void LayOut();
  void Paint();
  LRESULT OnCustomDraw(NMLVCUSTOMDRAW* draw);
  void OnListClick();
  friend LRESULT CALLBACK PluginListProcedure(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
  bool OverPluginRow(POINT client) const;

  const std::vector<ListedPlugin>& plugins_;
  OpenHandler onOpen_;
  ui::VirtualList list_;
  HWND closeButton_ = nullptr, viewButton_ = nullptr;
  sv::GdiObject<HFONT> font_, boldFont_;
  SIZE area_ = {0, 0};
};

}  // namespace shell
