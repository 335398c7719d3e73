#include "popup_form.h"

#include <commctrl.h>

#include "app.h"
#include "fonts.h"
#include "text.h"
#include "wide.h"

namespace shell {

namespace {

constexpr UINT_PTR kFadeTimer = 1;
constexpr UINT kPopupClicked = WM_APP + 1;
constexpr UINT_PTR kTextBoxSubclass = 1;
constexpr int kFrameWidth = 2;
constexpr int kHeaderHeight = 20;
constexpr int kTextMargin = 4;  // between the text box's edge and its text
constexpr int kHeaderId = 2101;
constexpr int kTextId = 2102;

// The read-only text box swallows clicks; it hands them to the window.
LRESULT CALLBACK TextBoxProcedure(HWND box, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR) {
  if (message == WM_LBUTTONDOWN) {
    PostMessageW(GetParent(box), kPopupClicked, 0, 0);
    return 0;
  }
  if (message == WM_SETCURSOR) {
    SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW)));
    return TRUE;
  }
  return DefSubclassProc(box, message, wparam, lparam);
}

}  // namespace

POINT PopupPosition(const RECT& workArea) {
  return POINT{workArea.right - kPopupWidth - kPopupMargin, workArea.bottom - kPopupHeight - kPopupMargin};
}

std::wstring PopupDisplayText(const std::string& text1251) {
  std::string lines;
  for (char c : text1251) {
    if (c == kPopupTextSeparator)
      lines += "\r\n";
    else
      lines += c;
  }
  return sv::Wide(lines);
}

bool PopupForm::Create() {
  ui::RegisterWindowClass(ui::ThisModule(), kPopupFormClass);
  headerBrush_.Reset(CreateSolidBrush(kPopupHeaderColour));
  textBrush_.Reset(CreateSolidBrush(kPopupTextColour));
  headerFont_ = ui::DialogFont(FW_BOLD);
  textFont_ = ui::DialogFont();
  HWND window = Window::Create(WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, kPopupFormClass,
                               L"", WS_POPUP | WS_CLIPCHILDREN, 0, 0, kPopupWidth, kPopupHeight,
                               ui::ApplicationWindow(), ui::ThisModule());
  if (!window) return false;
  CreateControls();
  return true;
}

void PopupForm::CreateControls() {
  int inner = kPopupWidth - 2 * kFrameWidth;
  header_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_CENTER | SS_CENTERIMAGE | SS_NOTIFY,
                            kFrameWidth, kFrameWidth, inner, kHeaderHeight, Handle(),
                            reinterpret_cast<HMENU>(kHeaderId), ui::ThisModule(), nullptr);
  text_ = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_READONLY, kFrameWidth,
                          kFrameWidth + kHeaderHeight, inner, kPopupHeight - 2 * kFrameWidth - kHeaderHeight,
                          Handle(), reinterpret_cast<HMENU>(kTextId), ui::ThisModule(), nullptr);
  SendMessageW(header_, WM_SETFONT, reinterpret_cast<WPARAM>(headerFont_.Get()), FALSE);
  SendMessageW(text_, WM_SETFONT, reinterpret_cast<WPARAM>(textFont_.Get()), FALSE);
  SendMessageW(text_, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(kTextMargin, kTextMargin));
  SetWindowSubclass(text_, TextBoxProcedure, kTextBoxSubclass, 0);
}

void PopupForm::Add(const std::string& text, const std::string& title, const std::string& pluginKey) {
  Apply(queue_.Add(text, title, pluginKey));
}

void PopupForm::Apply(const PopupQueue::Action& action) {
  if (action.hide) {
    KillTimer(Handle(), kFadeTimer);
    ShowWindow(Handle(), SW_HIDE);
  }
  if (action.hide || action.show) ShowTexts();
  if (action.show) {
    Place();
    ShowWindow(Handle(), SW_SHOWNOACTIVATE);
  } else if (action.place) {
    Place();
  }
  if (action.timerMs) SetTimer(Handle(), kFadeTimer, action.timerMs, nullptr);
}

void PopupForm::ShowTexts() {
  ui::SetText(header_, queue_.Title());
  SetWindowTextW(text_, PopupDisplayText(queue_.Text()).c_str());
}

void PopupForm::Place() {
  RECT area = {};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  POINT at = PopupPosition(area);
  SetLayeredWindowAttributes(Handle(), 0, static_cast<BYTE>(queue_.Alpha()), LWA_ALPHA);
  SetWindowPos(Handle(), HWND_TOPMOST, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
}

void PopupForm::Clicked() {
  std::string key = queue_.PluginKey();
  Apply(queue_.Hide());
  if (onClick_) onClick_(key);
}

bool PopupForm::OnMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) {
  switch (message) {
    case WM_TIMER:
      if (wparam != kFadeTimer) return false;
      Apply(queue_.Tick());
      return true;
    case WM_CTLCOLORSTATIC: {
      HWND control = reinterpret_cast<HWND>(lparam);
      HDC dc = reinterpret_cast<HDC>(wparam);
      bool isHeader = control == header_;
      SetBkColor(dc, isHeader ? kPopupHeaderColour : kPopupTextColour);
      *result = reinterpret_cast<LRESULT>(isHeader ? headerBrush_.Get() : textBrush_.Get());
      return true;
    }
    case WM_ERASEBKGND: {
      RECT r;
      GetClientRect(Handle(), &r);
      HDC dc = reinterpret_cast<HDC>(wparam);
      sv::GdiObject<HBRUSH> frame(CreateSolidBrush(kPopupFrameColour));
      FillRect(dc, &r, frame.Get());
      DrawEdge(dc, &r, EDGE_RAISED, BF_RECT);
      *result = 1;
      return true;
    }
    case WM_COMMAND:
      if (LOWORD(wparam) == kHeaderId && HIWORD(wparam) == STN_CLICKED) Clicked();
      return true;
    case WM_LBUTTONDOWN:
    case kPopupClicked:
      Clicked();
      return true;
    case WM_MOUSEACTIVATE:
      *result = MA_NOACTIVATE;
      return true;
  }
  return false;
}

}  // namespace shell
