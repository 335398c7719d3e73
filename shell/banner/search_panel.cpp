#include "search_panel.h"

#include <commctrl.h>

#include "app.h"
#include "browser_open.h"
#include "fonts.h"
#include "search_logic.h"
#include "svstring.h"
#include "text.h"
#include "wide.h"
#include "SolvikaUtils.h"

namespace shell {

namespace {

constexpr UINT_PTR kSearchTimer = 1;
constexpr UINT_PTR kEditSubclass = 1;
constexpr UINT kButtonId = 1;
constexpr int kControlTop = 2;
constexpr char kSettingsSection[] = "Solvika";
#ifndef SV_SITE_ROOT
#define SV_SITE_ROOT "http://www.solvika.invalid/"
#endif
constexpr char kDefaultSearchGo[] = SV_SITE_ROOT "client/go.php";
constexpr char kDefaultSearchReferrer[] = SV_SITE_ROOT "search.html";
const wchar_t kPictureText[] = L"Поиск в Google";

std::string IniText(const char* section, const char* key, const char* def) {
  return sv::TakeOut([&](SvStr* out) { GetIniString(out, section, key, def); });
}

}  // namespace

SearchPanel::~SearchPanel() {
  if (edit_) RemoveWindowSubclass(edit_, &SearchPanel::EditProcedure, kEditSubclass);
  Destroy();
}

bool SearchPanel::Create(HWND parent) {
  ui::RegisterWindowClass(ui::ThisModule(), kSearchPanelClass, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
  WNDCLASSW picture = {};
  if (!GetClassInfoW(ui::ThisModule(), kSearchPictureClass, &picture)) {
    picture.lpfnWndProc = &SearchPanel::PictureProcedure;
    picture.hInstance = ui::ThisModule();
    picture.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_IBEAM));
    picture.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    picture.lpszClassName = kSearchPictureClass;
    RegisterClassW(&picture);
  }
  if (!Window::Create(0, kSearchPanelClass, L"", WS_CHILD | WS_CLIPCHILDREN, 0, 0, 0, 0, parent, ui::ThisModule()))
    return false;
  font_ = ui::DialogFont();
  picture_ = CreateWindowExW(WS_EX_CLIENTEDGE, kSearchPictureClass, kPictureText, WS_CHILD | WS_VISIBLE,
                             kSearchBoxLeft, kControlTop, kSearchBoxWidth, kSearchBoxHeight, Handle(), nullptr,
                             ui::ThisModule(), nullptr);
  SetWindowLongPtrW(picture_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  edit_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_TABSTOP | ES_AUTOHSCROLL, kSearchBoxLeft,
                          kControlTop, kSearchBoxWidth, kSearchBoxHeight, Handle(), nullptr, ui::ThisModule(),
                          nullptr);
  button_ = CreateWindowExW(0, L"BUTTON", L"»", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                            kSearchButtonLeft, kControlTop, kSearchButtonWidth, kSearchBoxHeight, Handle(),
                            reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kButtonId)), ui::ThisModule(), nullptr);
  for (HWND control : {picture_, edit_, button_})
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
  SetWindowSubclass(edit_, &SearchPanel::EditProcedure, kEditSubclass, reinterpret_cast<DWORD_PTR>(this));
  return true;
}

void SearchPanel::OpenBox() {
  if (IsWindowVisible(edit_)) return;
  ShowWindow(picture_, SW_HIDE);
  ShowWindow(edit_, SW_SHOW);
  SetFocus(edit_);
  ticks_ = 0;
  timing_ = SetTimer(Handle(), kSearchTimer, kSearchTickMs, nullptr) != 0;
}

void SearchPanel::FoldBox() {
  KillTimer(Handle(), kSearchTimer);
  timing_ = false;
  SetWindowTextW(edit_, L"");
  ShowWindow(edit_, SW_HIDE);
  ShowWindow(picture_, SW_SHOW);
}

void SearchPanel::OnTick() {
  bool hasText = GetWindowTextLengthW(edit_) > 0;
  if (NextSearchTick(hasText, ticks_, GetFocus() == edit_) == SearchTick::kKeepOpen)
    ++ticks_;
  else
    FoldBox();
}

void SearchPanel::Search() {
  std::string text = TrimSearchText(ui::GetText(edit_));
  ui::SetText(edit_, text);
  if (text.empty()) return;
  std::string go = IniText(kSettingsSection, "SG_Go", kDefaultSearchGo);
  std::string referrer = IniText(kSettingsSection, "SG_Ref", kDefaultSearchReferrer);
  OpenInNewBrowserWindow(SearchAddress(go, text), SearchHeaders(referrer), kSearchTargetFrame);
}

LRESULT CALLBACK SearchPanel::PictureProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_MOUSEMOVE) {
    if (auto* self = reinterpret_cast<SearchPanel*>(GetWindowLongPtrW(window, GWLP_USERDATA))) {
      ui::GuardProcedure<int>(0, [&] {
        self->OpenBox();
        return 0;
      });
    }
    return 0;
  }
  if (message == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT r;
    GetClientRect(window, &r);
    r.left += 4;
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    DrawTextW(dc, kPictureText, -1, &r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    if (old) SelectObject(dc, old);
    EndPaint(window, &ps);
    return 0;
  }
  if (message == WM_SETFONT) {
    SetPropW(window, L"SVFont", reinterpret_cast<HANDLE>(wparam));
    return 0;
  }
  if (message == WM_GETFONT) return reinterpret_cast<LRESULT>(GetPropW(window, L"SVFont"));
  if (message == WM_NCDESTROY) RemovePropW(window, L"SVFont");
  return DefWindowProcW(window, message, wparam, lparam);
}

LRESULT CALLBACK SearchPanel::EditProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                            DWORD_PTR data) {
  auto* self = reinterpret_cast<SearchPanel*>(data);
  if (message == WM_KEYDOWN && wparam == VK_RETURN) {
    ui::GuardProcedure<int>(0, [&] {
      self->Search();
      return 0;
    });
    return 0;
  }
  // No beep for the Enter that started the search.
  if (message == WM_CHAR && (wparam == '\r' || wparam == '\n')) return 0;
  if (message == WM_GETDLGCODE) return DefSubclassProc(window, message, wparam, lparam) | DLGC_WANTALLKEYS;
  return DefSubclassProc(window, message, wparam, lparam);
}

bool SearchPanel::OnMessage(UINT message, WPARAM wparam, LPARAM, LRESULT* result) {
  switch (message) {
    case WM_TIMER:
      if (wparam != kSearchTimer) return false;
      OnTick();
      *result = 0;
      return true;
    case WM_COMMAND:
      if (LOWORD(wparam) == kButtonId && HIWORD(wparam) == BN_CLICKED) {
        Search();
        *result = 0;
        return true;
      }
      return false;
  }
  return false;
}

}  // namespace shell
