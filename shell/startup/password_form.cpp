#include "password_form.h"

#include "SolvikaNet.h"
#include "SolvikaUtils.h"
#include "app.h"
#include "password_address.h"
#include "password_form_ids.h"
#include "svstring.h"
#include "text.h"

namespace shell {

namespace {

constexpr int kClientWidth = 318;
constexpr int kClientHeight = 115;
constexpr int kMargin = 10;
constexpr int kLabelHeight = 16;
constexpr int kEditTop = 32;
constexpr int kEditHeight = 22;
constexpr int kButtonTop = 76;
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 27;
constexpr int kLinkWidth = 120;
constexpr wchar_t kPasswordChar = L'*';
constexpr UINT_PTR kLinkHoverTimer = 1;
constexpr UINT kLinkHoverPollMs = 100;
constexpr COLORREF kLinkColour = RGB(0, 0, 255);

}  // namespace

const std::string& CancelledPassword() {
  static const std::string cancelled(1, '\0');
  return cancelled;
}

std::string PasswordForm::Ask(HWND owner) {
  ui::RegisterDialogClass(ui::ThisModule(), L"TPasswordForm");
  result_ = CancelledPassword();
  RunModal(ui::ThisModule(), IDD_PASSWORD, owner);
  return result_;
}

// The window has a fixed size in pixels, so its controls are placed in pixels
// too: dialog units would follow the font and could push them off the edge.
void PasswordForm::PlaceControls() {
  struct Place {
    int id, x, y, width, height;
  };
  const Place places[] = {
      {IDC_PASSWORD_PROMPT, kMargin, kMargin, kClientWidth - 2 * kMargin, kLabelHeight},
      {IDC_PASSWORD_EDIT, kMargin, kEditTop, kClientWidth - 2 * kMargin, kEditHeight},
      {IDOK, kClientWidth - 2 * (kMargin + kButtonWidth) + kMargin / 2, kButtonTop, kButtonWidth, kButtonHeight},
      {IDCANCEL, kClientWidth - kMargin - kButtonWidth, kButtonTop, kButtonWidth, kButtonHeight},
      {IDC_PASSWORD_FORGOT, kMargin, kButtonTop + (kButtonHeight - kLabelHeight) / 2, kLinkWidth, kLabelHeight},
  };
  for (const Place& p : places) MoveWindow(GetDlgItem(Handle(), p.id), p.x, p.y, p.width, p.height, FALSE);
}

void PasswordForm::OnInitDialog() {
  ui::SetClientSize(Handle(), kClientWidth, kClientHeight);
  PlaceControls();
  ui::CenterOnDesktop(Handle());
  ui::SetItemText(Handle(), IDC_PASSWORD_PROMPT, prompt_);
  HWND edit = GetDlgItem(Handle(), IDC_PASSWORD_EDIT);
  SendMessageW(edit, EM_SETPASSWORDCHAR, kPasswordChar, 0);
  SetWindowTextW(edit, L"");
  SetFocus(edit);
  result_ = CancelledPassword();

  LOGFONTW font = {};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(Handle(), WM_GETFONT, 0, 0)), sizeof(font), &font);
  font.lfUnderline = TRUE;
  link_font_.Reset(CreateFontIndirectW(&font));
}

bool PasswordForm::OnCommand(int id, int code, HWND) {
  switch (id) {
    case IDOK:
      result_ = ui::GetItemText(Handle(), IDC_PASSWORD_EDIT);
      End(IDOK);
      return true;
    case IDCANCEL:  // Отмена, Escape and the title bar's close
      End(IDCANCEL);
      return true;
    case IDC_PASSWORD_FORGOT:
      if (code == STN_CLICKED) OpenForgottenPasswordPage();
      return true;
    default:
      return false;
  }
}

bool PasswordForm::OnMessage(UINT message, WPARAM wparam, LPARAM lparam, INT_PTR* result) {
  HWND link = GetDlgItem(Handle(), IDC_PASSWORD_FORGOT);
  switch (message) {
    case WM_SETCURSOR:
      // The mouse is over one of the dialog's windows: the link is hot while
      // that window is the link.
      if (reinterpret_cast<HWND>(wparam) == link) {
        SetLinkHot(true);
        SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HAND)));
        SetWindowLongPtrW(Handle(), DWLP_MSGRESULT, TRUE);
        *result = TRUE;
        return true;
      }
      SetLinkHot(false);
      return false;
    case WM_TIMER:
      if (wparam == kLinkHoverTimer) {
        POINT cursor = {};
        GetCursorPos(&cursor);
        if (WindowFromPoint(cursor) != link) SetLinkHot(false);
        return true;
      }
      return false;
    case WM_CTLCOLORSTATIC:
      if (reinterpret_cast<HWND>(lparam) == link) {
        HDC dc = reinterpret_cast<HDC>(wparam);
        SetTextColor(dc, kLinkColour);
        SetBkMode(dc, TRANSPARENT);
        if (link_hot_ && link_font_) SelectObject(dc, link_font_.Get());
        *result = reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
        return true;
      }
      return false;
    default:
      return false;
  }
}

void PasswordForm::SetLinkHot(bool hot) {
  if (hot == link_hot_) return;
  link_hot_ = hot;
  HWND link = GetDlgItem(Handle(), IDC_PASSWORD_FORGOT);
  // The underlined font must be the control's own font, or its text is laid
  // out with the plain one.
  SendMessageW(link, WM_SETFONT,
               reinterpret_cast<WPARAM>(hot ? link_font_.Get() : reinterpret_cast<HFONT>(SendMessageW(Handle(), WM_GETFONT, 0, 0))),
               TRUE);
  if (hot) {
    SetTimer(Handle(), kLinkHoverTimer, kLinkHoverPollMs, nullptr);
  } else {
    KillTimer(Handle(), kLinkHoverTimer);
  }
}

void PasswordForm::OpenForgottenPasswordPage() {
  std::string address = ForgottenPasswordAddress(sv::TakeOut(GetMainScriptPath), SV_SITE_ROOT, sv::TakeOut(GetProgramId));
  SVShellWWW(address.c_str());
}

}  // namespace shell
