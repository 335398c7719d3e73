// The popup notice window (class TPopupForm): a borderless, semi-transparent
// box in the bottom right corner of the work area with a header and the
// texts of one group of notices. It fades in, stays, and fades out; what it
// shows and when is decided by PopupQueue.
#pragma once

#include <functional>
#include <string>

#include "popup_queue.h"
#include "window.h"
#include "win_handles.h"

namespace shell {

constexpr wchar_t kPopupFormClass[] = L"TPopupForm";
constexpr int kPopupWidth = 284;
constexpr int kPopupHeight = 186;
constexpr int kPopupMargin = 5;  // from the right and bottom edges of the work area
constexpr COLORREF kPopupHeaderColour = RGB(159, 159, 255);
constexpr COLORREF kPopupTextColour = RGB(206, 206, 255);
constexpr COLORREF kPopupFrameColour = RGB(192, 192, 192);  // silver

// Where the window goes: the bottom right corner of `workArea`, margin apart.
POINT PopupPosition(const RECT& workArea);
// The text box's form of the group text: its carriage returns become line
// breaks.
std::wstring PopupDisplayText(const std::string& text1251);

class PopupForm : public ui::Window {
 public:
  // Called on a click with the plugin key of the group that was on screen.
  using ClickHandler = std::function<void(const std::string& pluginKey)>;

  explicit PopupForm(ClickHandler onClick) : onClick_(std::move(onClick)) {}
  bool Create();
  void Add(const std::string& text, const std::string& title, const std::string& pluginKey);
  const PopupQueue& Queue() const { return queue_; }

 private:
  bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) override;
  void CreateControls();
  void Apply(const PopupQueue::Action& action);
  void Place();
  void ShowTexts();
  void Clicked();

  ClickHandler onClick_;
  PopupQueue queue_;
  HWND header_ = nullptr;
  HWND text_ = nullptr;
  sv::GdiObject<HBRUSH> headerBrush_, textBrush_;
  sv::GdiObject<HFONT> headerFont_, textFont_;
};

}  // namespace shell
