// The loading indicator of the browser window: a panel with the running
// animation, its own text "Идет загрузка..." and a label (the topic while a
// page loads, then the page's title).
#pragma once

#include <string>

#include "timer.h"
#include "win_handles.h"
#include "window.h"

namespace svbrowser {

constexpr wchar_t kStatusPanelClass[] = L"TSVBrowserStatus";

class StatusPanel : public ui::Window {
 public:
  // Creates the (hidden) panel as a child of `parent`.
  bool Create(HWND parent, int id, HFONT textFont, HFONT labelFont);

  void Show(bool visible);
  void StartAnimation();
  void StopAnimation();
  bool Animating() const { return timer_.Running(); }
  void SetLabel(const std::string& text1251);
  HWND Label() const { return label_; }

 private:
  bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) override;
  void Paint();
  void Layout();

  ui::Timer timer_;
  int frame_ = 0;
  HWND label_ = nullptr;
  HFONT textFont_ = nullptr;
};

}  // namespace svbrowser
