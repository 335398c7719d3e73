#include "small_forms.h"

#include "SolvikaNet.h"
#include "SolvikaUtils.h"
#include "app.h"
#include "fonts.h"
#include "ids.h"
#include "message_box.h"
#include "settings.h"
#include "svstring.h"
#include "text.h"
#include "wide.h"

namespace dialogs {

namespace {

constexpr int kOptionsWidth = 421, kOptionsHeight = 373;
constexpr int kAboutWidth = 340, kAboutHeight = 311;
constexpr int kAboutIconSize = 32;
constexpr COLORREF kLinkColour = RGB(0, 0, 128);
constexpr int kTitlePoints = 14;
constexpr int kProxyButtons[] = {IDC_OPTIONS_DIRECT, IDC_OPTIONS_IE, IDC_OPTIONS_OWN};
constexpr int kServerPortIds[] = {IDC_OPTIONS_SERVER, IDC_OPTIONS_PORT, IDC_OPTIONS_SERVER_LABEL, IDC_OPTIONS_PORT_LABEL};
constexpr int kLoginIds[] = {IDC_OPTIONS_LOGIN, IDC_OPTIONS_PASSWORD, IDC_OPTIONS_LOGIN_LABEL,
                             IDC_OPTIONS_PASSWORD_LABEL};

HFONT VariantOf(HWND control, bool bold, bool underline) {
  LOGFONTW font = {};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
  if (bold) font.lfWeight = FW_BOLD;
  font.lfUnderline = underline;
  return CreateFontIndirectW(&font);
}

bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

}  // namespace

// ---- options ----

void OptionsForm::Show() {
  ui::RegisterDialogClass(ui::ThisModule(), L"TSVOptionsForm");
  RunModal(ui::ThisModule(), IDD_OPTIONS_FORM, ui::ApplicationWindow());
}

void OptionsForm::OnInitDialog() {
  HWND w = Handle();
  ui::SetClientSizeWithControls(w, kOptionsWidth, kOptionsHeight);
  bold_.Reset(VariantOf(GetDlgItem(w, IDC_OPTIONS_SERVER_LABEL), true, false));
  for (int id : {IDC_OPTIONS_SERVER_LABEL, IDC_OPTIONS_PORT_LABEL, IDC_OPTIONS_LOGIN_LABEL, IDC_OPTIONS_PASSWORD_LABEL})
    SendDlgItemMessageW(w, id, WM_SETFONT, reinterpret_cast<WPARAM>(bold_.Get()), FALSE);

  SvStr host = nullptr, login = nullptr, password = nullptr;
  uint16_t port = 0;
  GetProxyParam(&host, &port, &login, &password);
  const std::string storedHost = sv::Take(host), portText = std::to_string(port);
  ui::SetItemText(w, IDC_OPTIONS_SERVER, storedHost);
  ui::SetItemText(w, IDC_OPTIONS_PORT, portText);
  ui::SetItemText(w, IDC_OPTIONS_LOGIN, sv::Take(login));
  ui::SetItemText(w, IDC_OPTIONS_PASSWORD, sv::Take(password));

  SvStr browserHost = nullptr, browserPort = nullptr;
  const bool browserHasProxy = SVGetIEProxyParams(&browserHost, &browserPort);
  browserHost_ = sv::Take(browserHost);
  browserPort_ = sv::Take(browserPort);
  EnableWindow(GetDlgItem(w, IDC_OPTIONS_IE), browserHasProxy);

  ProxyChoice choice = InitialProxyChoice(storedHost, portText, browserHost_, browserPort_);
  CheckRadioButton(w, IDC_OPTIONS_DIRECT, IDC_OPTIONS_OWN, kProxyButtons[choice]);
  CheckRadioButton(w, IDC_OPTIONS_BROWSER_IE, IDC_OPTIONS_BROWSER_DEFAULT,
                   SVGetWWWDefIEBrowser() ? IDC_OPTIONS_BROWSER_IE : IDC_OPTIONS_BROWSER_DEFAULT);
  ApplyFieldStates();
  ui::CenterOnDesktop(w);
}

ProxyChoice OptionsForm::Ticked() const {
  if (Checked(Handle(), IDC_OPTIONS_IE)) return kProxyBrowser;
  if (Checked(Handle(), IDC_OPTIONS_OWN)) return kProxyOwn;
  return kProxyDirect;
}

void OptionsForm::ApplyFieldStates() {
  HWND w = Handle();
  FieldStates states = FieldStatesFor(Ticked());
  for (int id : kServerPortIds) EnableWindow(GetDlgItem(w, id), states.serverPort);
  for (int id : kLoginIds) EnableWindow(GetDlgItem(w, id), states.loginPassword);
  if (states.fillFromBrowser) {
    ui::SetItemText(w, IDC_OPTIONS_SERVER, browserHost_);
    ui::SetItemText(w, IDC_OPTIONS_PORT, browserPort_);
  }
}

void OptionsForm::Save() {
  HWND w = Handle();
  ProxyToStore proxy;
  if (!ProxyFromFields(Ticked(), ui::GetItemText(w, IDC_OPTIONS_SERVER), ui::GetItemText(w, IDC_OPTIONS_PORT),
                       ui::GetItemText(w, IDC_OPTIONS_LOGIN), ui::GetItemText(w, IDC_OPTIONS_PASSWORD), &proxy)) {
    ui::MessageBox1251(w, sv::Ru(u8"Неверно задан порт"), sv::Ru(u8"Настройки"), MB_ICONWARNING);
    return;
  }
  SetProxyParam(proxy.host.c_str(), proxy.port, proxy.login.c_str(), proxy.password.c_str());
  const bool ieBrowser = Checked(w, IDC_OPTIONS_BROWSER_IE);
  End(IDOK);
  SetIniInt(kSection, "ShowProxy", 0);
  SVSetWWWDefIEBrowser(ieBrowser);
}

bool OptionsForm::OnCommand(int id, int code, HWND) {
  if (code != BN_CLICKED) return false;
  switch (id) {
    case IDC_OPTIONS_DIRECT:
    case IDC_OPTIONS_IE:
    case IDC_OPTIONS_OWN: ApplyFieldStates(); return true;
    case IDC_OPTIONS_SAVE:
    case IDOK: Save(); return true;
    case IDC_OPTIONS_CLOSE:
    case IDCANCEL: End(IDCANCEL); return true;
  }
  return false;
}

// ---- links ----

void LinkDialog::MakeLink(int id) {
  linkId_ = id;
  underlined_.Reset(VariantOf(GetDlgItem(Handle(), id), false, true));
  SendDlgItemMessageW(Handle(), id, WM_SETFONT, reinterpret_cast<WPARAM>(underlined_.Get()), FALSE);
}

bool LinkDialog::OnMessage(UINT message, WPARAM wparam, LPARAM lparam, INT_PTR* result) {
  HWND link = GetDlgItem(Handle(), linkId_);
  if (message == WM_CTLCOLORSTATIC && reinterpret_cast<HWND>(lparam) == link) {
    HDC dc = reinterpret_cast<HDC>(wparam);
    SetTextColor(dc, kLinkColour);
    SetBkMode(dc, TRANSPARENT);
    *result = reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
    return true;
  }
  if (message == WM_SETCURSOR && reinterpret_cast<HWND>(wparam) == link) {
    SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32649)));
    SetWindowLongPtrW(Handle(), DWLP_MSGRESULT, TRUE);
    *result = TRUE;
    return true;
  }
  return false;
}

// ---- about ----

void AboutForm::Show() {
  ui::RegisterDialogClass(ui::ThisModule(), L"TSVAboutForm");
  RunModal(ui::ThisModule(), IDD_ABOUT_FORM, ui::ApplicationWindow());
}

void AboutForm::OnInitDialog() {
  HWND w = Handle();
  ui::SetClientSizeWithControls(w, kAboutWidth, kAboutHeight);
  // The program's icon from this library's resources: the application
  // window's own icon may be missing (or small) when the box is opened early.
  HICON icon = static_cast<HICON>(LoadImageW(ui::ThisModule(), MAKEINTRESOURCEW(IDI_ABOUT_PROGRAM), IMAGE_ICON,
                                             kAboutIconSize, kAboutIconSize, LR_SHARED));
  HWND picture = GetDlgItem(w, IDC_ABOUT_PICTURE);
  SendMessageW(picture, STM_SETICON, reinterpret_cast<WPARAM>(icon ? icon : ui::ApplicationIcon()), 0);
  // The picture takes the icon's own size from its left edge: centre it again.
  RECT client = {}, place = ui::RectInParent(picture);
  GetClientRect(w, &client);
  SetWindowPos(picture, nullptr, (client.right - (place.right - place.left)) / 2, place.top, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  title_.Reset(ui::CreatePointFont(kTitlePoints, true));
  SendDlgItemMessageW(w, IDC_ABOUT_NAME, WM_SETFONT, reinterpret_cast<WPARAM>(title_.Get()), FALSE);
  ui::SetItemText(w, IDC_ABOUT_VERSION, AboutVersionLine(ProgramVersionText()));
  std::string site = kSiteRoot;
  ui::SetItemText(w, IDC_ABOUT_LINK, site);
  MakeLink(IDC_ABOUT_LINK);
  ui::CenterOnDesktop(w);
}

bool AboutForm::OnCommand(int id, int code, HWND) {
  if (id == IDC_ABOUT_LINK && code == STN_CLICKED) {
    SVShellWWW(kSiteRoot);
    return true;
  }
  if (code == BN_CLICKED && (id == IDOK || id == IDCANCEL)) {
    End(id);
    return true;
  }
  return false;
}

// ---- download page ----

void WhereverForm::Show() {
  ui::RegisterDialogClass(ui::ThisModule(), L"TSVWhereverForm");
  RunModal(ui::ThisModule(), IDD_WHEREVER_FORM, ui::ApplicationWindow());
}

void WhereverForm::OnInitDialog() {
  HWND w = Handle();
  page_ = sv::TakeOut([](SvStr* out) { GetIniString(out, kSection, "DownloadPage", kDefaultDownloadPage); });
  ui::SetItemText(w, IDC_WHEREVER_LINK, page_);
  MakeLink(IDC_WHEREVER_LINK);
  ui::CenterOnDesktop(w);
}

bool WhereverForm::OnCommand(int id, int code, HWND) {
  if (id == IDC_WHEREVER_LINK && code == STN_CLICKED) {
    SVShellWWW(page_.c_str());
    return true;
  }
  if (code != BN_CLICKED) return false;
  if (id == IDC_WHEREVER_COPY) {
    if (OpenClipboard(Handle())) {
      EmptyClipboard();
      const std::wstring text = sv::Wide(page_);
      HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
      if (block) {
        memcpy(GlobalLock(block), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
        GlobalUnlock(block);
        if (!SetClipboardData(CF_UNICODETEXT, block)) GlobalFree(block);
      }
      CloseClipboard();
    }
    return true;
  }
  if (id == IDOK || id == IDCANCEL) {
    End(id);
    return true;
  }
  return false;
}

}  // namespace dialogs
