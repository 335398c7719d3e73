#include "access_forms.h"

#include "SolvikaMain.h"
#include "SolvikaUtils.h"
#include "TovrinPF.h"
#include "app.h"
#include "file_io.h"
#include "ids.h"
#include "message_box.h"
#include "password_check.h"
#include "settings.h"
#include "svstring.h"
#include "text.h"
#include "wide.h"

namespace dialogs {

namespace {

constexpr int kProtectWidth = 402, kProtectHeight = 335;
constexpr int kPasswordWidth = 425, kPasswordHeight = 229;
constexpr int kRightsWidth = 348, kRightsHeight = 420;
constexpr UINT_PTR kPollTimer = 1;
constexpr int kRegisterTimeoutMs = 10000;
constexpr char kRegisterTag[] = "Solvikat(202)";
constexpr int kStatusButtons[] = {IDC_PROTECT_ON, IDC_PROTECT_OFF_UNTIL_RESTART, IDC_PROTECT_OFF};
constexpr int kPasswordInputs[] = {IDC_PASSWORD_FIRST, IDC_PASSWORD_SECOND, IDC_PASSWORD_EMAIL, IDC_PASSWORD_SET};

// The tree images: 2 for a node with children, 3 for a leaf; state image 1
// marks a protected node (state 0 shows none).
constexpr int kIconSize = 16;
constexpr COLORREF kMaskColour = RGB(255, 0, 255);
enum TreeImage { kParentImage = 2, kLeafImage = 3 };

std::string Caption() { return sv::Ru(u8"Управление доступом"); }

void Warn(HWND owner, const char* utf8) { ui::MessageBox1251(owner, sv::Ru(utf8), Caption(), MB_ICONWARNING); }

// ---- tree images, drawn once per window ----

using Painter = void (*)(HDC);

void PaintNothing(HDC) {}

void PaintFolder(HDC dc) {
  HBRUSH body = CreateSolidBrush(RGB(240, 200, 80));
  HPEN edge = CreatePen(PS_SOLID, 1, RGB(150, 110, 20));
  HGDIOBJ oldBrush = SelectObject(dc, body), oldPen = SelectObject(dc, edge);
  Rectangle(dc, 1, 2, 8, 5);
  Rectangle(dc, 1, 4, 15, 14);
  SelectObject(dc, oldBrush), SelectObject(dc, oldPen);
  DeleteObject(body), DeleteObject(edge);
}

void PaintPage(HDC dc) {
  HPEN edge = CreatePen(PS_SOLID, 1, RGB(100, 100, 110));
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(WHITE_BRUSH)), oldPen = SelectObject(dc, edge);
  Rectangle(dc, 3, 1, 13, 15);
  for (int y = 4; y <= 11; y += 3) MoveToEx(dc, 5, y, nullptr), LineTo(dc, 11, y);
  SelectObject(dc, oldBrush), SelectObject(dc, oldPen);
  DeleteObject(edge);
}

void PaintLock(HDC dc) {
  HPEN shackle = CreatePen(PS_SOLID, 2, RGB(90, 90, 100));
  HGDIOBJ oldPen = SelectObject(dc, shackle), oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
  RoundRect(dc, 5, 2, 12, 11, 5, 5);
  HBRUSH body = CreateSolidBrush(RGB(200, 150, 30));
  SelectObject(dc, body);
  SelectObject(dc, GetStockObject(BLACK_PEN));
  Rectangle(dc, 3, 7, 14, 15);
  SelectObject(dc, oldBrush), SelectObject(dc, oldPen);
  DeleteObject(body), DeleteObject(shackle);
}

HIMAGELIST MakeImages(std::initializer_list<Painter> painters) {
  HIMAGELIST list = ImageList_Create(kIconSize, kIconSize, ILC_COLOR24 | ILC_MASK, (int)painters.size(), 0);
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  for (Painter paint : painters) {
    HBITMAP bitmap = CreateCompatibleBitmap(screen, kIconSize, kIconSize);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all = {0, 0, kIconSize, kIconSize};
    HBRUSH mask = CreateSolidBrush(kMaskColour);
    FillRect(dc, &all, mask);
    DeleteObject(mask);
    paint(dc);
    SelectObject(dc, old);
    ImageList_AddMasked(list, bitmap, kMaskColour);
    DeleteObject(bitmap);
  }
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return list;
}

}  // namespace

void ShowAccessManagement() {
  const uint8_t answer = PFEnter2(sv::Ru(u8"Введите пароль для доступа").c_str());
  if (answer == PF_GRANTED)
    ProtectForm().Show();
  else if (answer == PF_WRONG_PASSWORD)
    MsgBoxError(sv::Ru(u8"Пароль не правельный!").c_str(), "");
}

// ---- TSVProtectForm ----

void ProtectForm::Show() {
  ui::RegisterDialogClass(ui::ThisModule(), L"TSVProtectForm");
  RunModal(ui::ThisModule(), IDD_PROTECT_FORM, ui::ApplicationWindow());
}

void ProtectForm::OnInitDialog() {
  HWND w = Handle();
  ui::SetClientSizeWithControls(w, kProtectWidth, kProtectHeight);
  const uint8_t status = PFStatus(0);
  const int ticked = status >= PF_PROTECTION_ON && status <= PF_PROTECTION_OFF ? kStatusButtons[status - 1] : IDC_PROTECT_OFF;
  CheckRadioButton(w, IDC_PROTECT_ON, IDC_PROTECT_OFF, ticked);
  ui::CenterOnDesktop(w);
}

bool ProtectForm::PasswordIsSet() {
  if (!PFisPassEmpty()) return true;
  Warn(Handle(), u8"Пароль не задан!\rЗадайте пожалуйста пароль");
  return false;
}

void ProtectForm::StatusChosen(int buttonId) {
  HWND w = Handle();
  if (buttonId != IDC_PROTECT_OFF && !PasswordIsSet()) {
    CheckRadioButton(w, IDC_PROTECT_ON, IDC_PROTECT_OFF, IDC_PROTECT_OFF);
    // The focus leaves the button that was refused: an unticked radio button
    // that gets the focus back reports itself clicked again.
    SetFocus(GetDlgItem(w, IDC_PROTECT_OFF));
    PFStatus(PF_PROTECTION_OFF);
    return;
  }
  for (int i = 0; i < 3; ++i)
    if (kStatusButtons[i] == buttonId) PFStatus(static_cast<uint8_t>(i + 1));
}

bool ProtectForm::OnCommand(int id, int code, HWND) {
  if (code != BN_CLICKED) return false;
  switch (id) {
    case IDC_PROTECT_ON:
    case IDC_PROTECT_OFF_UNTIL_RESTART:
    case IDC_PROTECT_OFF: StatusChosen(id); return true;
    case IDC_PROTECT_SET_PASSWORD: SetPasswordForm().Show(Handle()); return true;
    case IDC_PROTECT_RIGHTS:
      if (PasswordIsSet()) RightsForm().Show(Handle());
      return true;
    case IDC_PROTECT_CLOSE:
    case IDOK:
    case IDCANCEL: End(IDOK); return true;
  }
  return false;
}

// ---- TForm6 ----

void SetPasswordForm::Show(HWND owner) {
  ui::RegisterDialogClass(ui::ThisModule(), L"TForm6");
  RunModal(ui::ThisModule(), IDD_PASSWORD_FORM, owner);
}

void SetPasswordForm::OnInitDialog() {
  HWND w = Handle();
  ui::SetClientSizeWithControls(w, kPasswordWidth, kPasswordHeight);
  for (int id : {IDC_PASSWORD_FIRST, IDC_PASSWORD_SECOND}) {
    SendDlgItemMessageW(w, id, EM_SETPASSWORDCHAR, '*', 0);
    SendDlgItemMessageW(w, id, EM_LIMITTEXT, kPasswordLimit, 0);
  }
  SendDlgItemMessageW(w, IDC_PASSWORD_EMAIL, EM_LIMITTEXT, kEmailLimit, 0);
  ui::SetItemText(w, IDC_PASSWORD_NOTE,
                  sv::Ru(u8"* Для регистрации пароля Вы должны ввести правильный E-Mail.\rЕсли Ваш пароль будет "
                         u8"утерян, он будет выслан на Ваш почтовый ящик"));
  ui::SetItemText(w, IDC_PASSWORD_EMAIL, StoredEmail());
  Reset();
  ui::CenterOnDesktop(w);
}

void SetPasswordForm::Reset() {
  HWND w = Handle();
  ui::SetItemText(w, IDC_PASSWORD_FIRST, "");
  ui::SetItemText(w, IDC_PASSWORD_SECOND, "");
  EnableInputs(true);
  SetFocus(GetDlgItem(w, IDC_PASSWORD_FIRST));
}

void SetPasswordForm::EnableInputs(bool enable) {
  for (int id : kPasswordInputs) EnableWindow(GetDlgItem(Handle(), id), enable);
}

void SetPasswordForm::Register() {
  if (job_) return;
  HWND w = Handle();
  const std::string password = ui::GetItemText(w, IDC_PASSWORD_FIRST);
  const std::string email = TrimmedEmail(ui::GetItemText(w, IDC_PASSWORD_EMAIL));
  const PasswordVerdict verdict =
      CheckPasswordFields(password, ui::GetItemText(w, IDC_PASSWORD_SECOND), email,
                          [](const std::string& address) { return isValidEmail(address.c_str()) != 0; });
  if (verdict.problem != PasswordProblem::kNone) {
    switch (verdict.problem) {
      case PasswordProblem::kNoPassword: Warn(w, u8"Задайте пароль"); break;
      case PasswordProblem::kMismatch: Warn(w, u8"Подтверждение не совпадает"); break;
      case PasswordProblem::kNoEmail: Warn(w, u8"Задайте свой E-Mail"); break;
      default: Warn(w, u8"Задайте правильно свой E-Mail"); break;
    }
    if (verdict.clearPassword) ui::SetItemText(w, IDC_PASSWORD_FIRST, "");
    if (verdict.clearConfirmation) ui::SetItemText(w, IDC_PASSWORD_SECOND, "");
    if (verdict.focusPassword) SetFocus(GetDlgItem(w, IDC_PASSWORD_FIRST));
    return;
  }
  StoreEmail(email);
  EnableInputs(false);
  password_ = password;
  job_ = std::make_unique<NetQuery>(kRegisterTimeoutMs, kRegisterTag);
  if (!job_->Query(RegisterPasswordPath(ClientId(), ProgramVersionText(), UrlEncoded(password), UrlEncoded(email)))) {
    Finish(false);
    return;
  }
  timer_.Start(w, kPollTimer, kNetPollMs);
}

void SetPasswordForm::Poll() {
  if (job_ && job_->Done()) Finish(job_->Succeeded());
}

void SetPasswordForm::Finish(bool registered) {
  timer_.Stop();
  job_.reset();
  HWND w = Handle();
  if (registered) {
    // Stored before the message, so that the password the server now holds
    // is in force however the message box ends.
    PFChPass(password_.c_str());
    ui::MessageBox1251(w, sv::Ru(u8"Ваш пароль успешно зарегистрирован!"), Caption(), MB_ICONINFORMATION);
    End(IDOK);
    return;
  }
  AppShowNoNetMsg(Caption().c_str(), sv::Ru(u8"Не удалось зарегистрировать пароль!").c_str());
  Reset();
}

bool SetPasswordForm::OnCommand(int id, int code, HWND) {
  if (code != BN_CLICKED) return false;
  switch (id) {
    case IDC_PASSWORD_SET:
    case IDOK: Register(); return true;
    case IDC_PASSWORD_CLOSE:
    case IDCANCEL:
      if (!job_) End(IDCANCEL);  // a running registration keeps the window open
      return true;
  }
  return false;
}

bool SetPasswordForm::OnMessage(UINT message, WPARAM wparam, LPARAM, INT_PTR* result) {
  if (message == WM_TIMER && wparam == kPollTimer) {
    Poll();
    *result = 0;
    return true;
  }
  return false;
}

// ---- TForm7 ----

RightsForm::RightsForm() = default;

RightsForm::~RightsForm() {
  if (images_) ImageList_Destroy(images_);
  if (states_) ImageList_Destroy(states_);
}

void RightsForm::Show(HWND owner) {
  ui::RegisterDialogClass(ui::ThisModule(), L"TForm7");
  RunModal(ui::ThisModule(), IDD_RIGHTS_FORM, owner);
}

void RightsForm::OnInitDialog() {
  HWND w = Handle();
  ui::SetClientSizeWithControls(w, kRightsWidth, kRightsHeight);
  images_ = MakeImages({PaintNothing, PaintNothing, PaintFolder, PaintPage});
  states_ = MakeImages({PaintNothing, PaintLock});

  for (RightsModule& module : ParseRightsModules(sv::TakeOut(PFGetSections))) tabs_.push_back({std::move(module)});
  HWND tabControl = GetDlgItem(w, IDC_RIGHTS_TABS);
  for (size_t i = 0; i < tabs_.size(); ++i) {
    std::wstring caption = sv::Wide(sv::TakeOut([&](SvStr* out) { PFGetCaption(out, tabs_[i].module.name.c_str()); }));
    TCITEMW item = {};
    item.mask = TCIF_TEXT;
    item.pszText = &caption[0];
    SendMessageW(tabControl, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
  }
  // Every tab's tree lies over the tab control's page area, above it.
  RECT page = ui::RectInParent(tabControl);
  SendMessageW(tabControl, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&page));
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(w, WM_GETFONT, 0, 0));
  for (size_t i = 0; i < tabs_.size(); ++i) {
    HWND tree = CreateWindowExW(WS_EX_CLIENTEDGE, WC_TREEVIEWW, L"",
                                WS_CHILD | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS,
                                page.left, page.top, page.right - page.left, page.bottom - page.top, w,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_RIGHTS_FIRST_TREE + i)), ui::ThisModule(),
                                nullptr);
    SendMessageW(tree, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SendMessageW(tree, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images_));
    SendMessageW(tree, TVM_SETIMAGELIST, TVSIL_STATE, reinterpret_cast<LPARAM>(states_));
    SetWindowPos(tree, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    tabs_[i].tree = tree;
  }
  TabChanged();
  ui::CenterOnDesktop(w);
}

RightsForm::Tab* RightsForm::ActiveTab() {
  int index = static_cast<int>(SendDlgItemMessageW(Handle(), IDC_RIGHTS_TABS, TCM_GETCURSEL, 0, 0));
  return index >= 0 && index < static_cast<int>(tabs_.size()) ? &tabs_[index] : nullptr;
}

void RightsForm::TabChanged() {
  Tab* active = ActiveTab();
  for (Tab& tab : tabs_) ShowWindow(tab.tree, &tab == active ? SW_SHOW : SW_HIDE);
  if (active && !active->filled) Fill(*active);
  UpdateToggle();
}

void RightsForm::Fill(Tab& tab) {
  tab.filled = true;
  const std::string folder = sv::TakeOut(GetCurrDir);
  auto decode = [](const std::string& stored) {
    return sv::TakeOut([&](SvStr* out) { PFCryptToStr(out, stored.c_str()); });
  };
  std::vector<RightsNode> top;
  for (const std::string& section : tab.module.sections) {
    const std::set<std::string> flagged =
        ProtectedItems(sv::TakeOut([&](SvStr* out) { PFGetSection(out, section.c_str()); }), decode);
    std::string bytes;
    if (!sv::ReadWholeFile(folder + section, &bytes)) bytes.clear();  // an unreadable file shows nothing
    for (RightsNode& node : BuildRightsTree(ReadRightsItems(section, bytes), flagged, section))
      top.push_back(std::move(node));
  }
  SortRightsLevel(&top);
  AddNodes(tab, top, TVI_ROOT);
}

void RightsForm::AddNodes(Tab& tab, const std::vector<RightsNode>& level, HTREEITEM parent) {
  for (const RightsNode& node : level) {
    std::wstring name = sv::Wide(node.name);
    const int image = node.children.empty() ? kLeafImage : kParentImage;
    TVINSERTSTRUCTW insert = {};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_STATE;
    insert.item.pszText = &name[0];
    insert.item.iImage = insert.item.iSelectedImage = image;
    insert.item.state = INDEXTOSTATEIMAGEMASK(node.isProtected ? 1 : 0);
    insert.item.stateMask = TVIS_STATEIMAGEMASK;
    insert.item.lParam = static_cast<LPARAM>(tab.nodes.size());
    tab.nodes.push_back({node.section, node.id, node.isProtected});
    auto item = reinterpret_cast<HTREEITEM>(SendMessageW(tab.tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    if (item) AddNodes(tab, node.children, item);
  }
}

RightsForm::NodeRef* RightsForm::Selected(HTREEITEM* itemOut) {
  Tab* tab = ActiveTab();
  if (!tab) return nullptr;
  auto item = reinterpret_cast<HTREEITEM>(SendMessageW(tab->tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
  if (!item) return nullptr;
  TVITEMW query = {};
  query.mask = TVIF_PARAM;
  query.hItem = item;
  if (!SendMessageW(tab->tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query))) return nullptr;
  if (query.lParam < 0 || static_cast<size_t>(query.lParam) >= tab->nodes.size()) return nullptr;
  if (itemOut) *itemOut = item;
  return &tab->nodes[static_cast<size_t>(query.lParam)];
}

void RightsForm::UpdateToggle() {
  HWND toggle = GetDlgItem(Handle(), IDC_RIGHTS_TOGGLE);
  NodeRef* node = Selected(nullptr);
  EnableWindow(toggle, node != nullptr);
  if (node) ui::SetText(toggle, sv::Ru(node->isProtected ? u8"Разрешить доступ" : u8"Запретить доступ"));
}

void RightsForm::Toggle() {
  HTREEITEM item = nullptr;
  NodeRef* node = Selected(&item);
  if (!node) return;
  node->isProtected = !node->isProtected;
  TVITEMW change = {};
  change.mask = TVIF_STATE;
  change.hItem = item;
  change.state = INDEXTOSTATEIMAGEMASK(node->isProtected ? 1 : 0);
  change.stateMask = TVIS_STATEIMAGEMASK;
  SendMessageW(ActiveTab()->tree, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&change));
  PFSetCStatus(node->section.c_str(), node->id.c_str(), node->isProtected ? 1 : 0);
  UpdateToggle();
}

bool RightsForm::OnCommand(int id, int code, HWND) {
  if (code != BN_CLICKED) return false;
  switch (id) {
    case IDC_RIGHTS_TOGGLE: Toggle(); return true;
    case IDC_RIGHTS_CLOSE:
    case IDCANCEL: End(IDCANCEL); return true;
    case IDOK: return true;
  }
  return false;
}

bool RightsForm::OnMessage(UINT message, WPARAM, LPARAM lparam, INT_PTR* result) {
  if (message != WM_NOTIFY) return false;
  const auto* header = reinterpret_cast<const NMHDR*>(lparam);
  if (header->idFrom == IDC_RIGHTS_TABS && header->code == TCN_SELCHANGE) {
    TabChanged();
  } else if (header->code == TVN_SELCHANGEDW || header->code == TVN_SELCHANGEDA) {
    UpdateToggle();
  } else {
    return false;
  }
  *result = 0;
  return true;
}

}  // namespace dialogs
