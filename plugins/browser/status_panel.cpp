#include "status_panel.h"

#include "app.h"
#include "browser_form_ids.h"
#include "pictures.h"
#include "text.h"

namespace svbrowser {

namespace {

constexpr UINT_PTR kAnimationTimer = 1;
constexpr UINT kFrameMs = 100;
constexpr int kAnimationBox = 18;
constexpr int kGap = 6;
constexpr int kTextLength = 128;

}  // namespace

bool StatusPanel::Create(HWND parent, int id, HFONT textFont, HFONT labelFont) {
  ui::RegisterWindowClass(ui::ThisModule(), kStatusPanelClass, GetSysColorBrush(COLOR_BTNFACE));
  wchar_t text[kTextLength] = {};
  LoadStringW(ui::ThisModule(), IDS_BROWSER_LOADING, text, kTextLength);
  textFont_ = textFont;
  if (!ui::Window::Create(0, kStatusPanelClass, text, WS_CHILD | WS_CLIPCHILDREN, 0, 0, 0, 0, parent,
                          ui::ThisModule()))
    return false;
  SetWindowLongPtrW(Handle(), GWLP_ID, id);
  label_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, 0, 0,
                           0, 0, Handle(), reinterpret_cast<HMENU>(IDC_BROWSER_STATUS_LABEL), ui::ThisModule(),
                           nullptr);
  SendMessageW(label_, WM_SETFONT, reinterpret_cast<WPARAM>(labelFont), FALSE);
  return true;
}

void StatusPanel::Show(bool visible) { ShowWindow(Handle(), visible ? SW_SHOWNA : SW_HIDE); }

void StatusPanel::StartAnimation() {
  if (!timer_.Running()) timer_.Start(Handle(), kAnimationTimer, kFrameMs);
}

void StatusPanel::StopAnimation() {
  timer_.Stop();
  frame_ = 0;
  InvalidateRect(Handle(), nullptr, TRUE);
}

void StatusPanel::SetLabel(const std::string& text1251) { ui::SetText(label_, text1251); }

void StatusPanel::Layout() {
  RECT client = {};
  GetClientRect(Handle(), &client);
  HDC dc = GetDC(Handle());
  HGDIOBJ old = SelectObject(dc, textFont_);
  wchar_t text[kTextLength] = {};
  GetWindowTextW(Handle(), text, kTextLength);
  SIZE size = {};
  GetTextExtentPoint32W(dc, text, lstrlenW(text), &size);
  TEXTMETRICW metrics = {};
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(Handle(), dc);
  int left = kAnimationBox + kGap + size.cx + kGap;
  int height = metrics.tmHeight;
  int top = (client.bottom - height) / 2;
  MoveWindow(label_, left, top, client.right - left > 0 ? client.right - left : 0, height, TRUE);
}

void StatusPanel::Paint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(Handle(), &paint);
  RECT client = {};
  GetClientRect(Handle(), &client);
  RECT box = {0, (client.bottom - kAnimationBox) / 2, kAnimationBox, (client.bottom + kAnimationBox) / 2};
  DrawAnimationFrame(dc, box, frame_);
  wchar_t text[kTextLength] = {};
  GetWindowTextW(Handle(), text, kTextLength);
  HGDIOBJ old = SelectObject(dc, textFont_);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0, 0, 128));
  RECT textBox = {kAnimationBox + kGap, 0, client.right, client.bottom};
  DrawTextW(dc, text, -1, &textBox, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
  SelectObject(dc, old);
  EndPaint(Handle(), &paint);
}

bool StatusPanel::OnMessage(UINT message, WPARAM wparam, LPARAM, LRESULT* result) {
  switch (message) {
    case WM_SIZE:
      Layout();
      return false;
    case WM_PAINT:
      Paint();
      *result = 0;
      return true;
    case WM_TIMER:
      if (wparam != kAnimationTimer) return false;
      frame_ = (frame_ + 1) % kAnimationFrames;
      {
        RECT client = {};
        GetClientRect(Handle(), &client);
        RECT box = {0, 0, kAnimationBox, client.bottom};
        InvalidateRect(Handle(), &box, TRUE);
      }
      *result = 0;
      return true;
    case WM_DESTROY:
      timer_.Stop();
      return false;
  }
  return false;
}

}  // namespace svbrowser
