#include "catalogue_form.h"

#include "SolvikaUtils.h"
#include "app.h"
#include "catalogue_form_ids.h"
#include "catalogue_pictures.h"
#include "fonts.h"
#include "install_job.h"
#include "machine_facts.h"
#include "main_window.h"
#include "message_box.h"
#include "sv_shell.h"
#include "svstring.h"
#include "text.h"
#include "wide.h"

namespace patchkeeper {

namespace {

using sv::catalogue::Entry;
using sv::catalogue::Kind;
using sv::catalogue::LookOf;

constexpr UINT_PTR kJobTimer = 1;
constexpr UINT kOpenMenuMessage = WM_APP + 1;  // the row's menu, asked for from the keyboard
constexpr int kColumnCount = 4;
constexpr int kCaptionLength = 256;

// Layout, in pixels.
constexpr int kMargin = 4;
constexpr int kHeaderHeight = 40;
constexpr int kHeaderPicture = 32;
constexpr int kToolButton = 28;
constexpr int kBottomHeight = 64;
constexpr int kMemoShortfall = 110;  // the memo is this much narrower than its panel
constexpr int kActionWidth = 98;
constexpr int kActionHeight = 26;
constexpr int kVersionColumn = 70, kDateColumn = 124, kStatusColumn = 170;
constexpr int kMenuOffsetX = 40, kMenuOffsetY = 7;  // the menu of a row opened from the keyboard

constexpr int kDirectoryPoints = 11;
constexpr int kCaptionPoints = 12;
constexpr COLORREF kDirectoryText = RGB(96, 96, 96);
constexpr COLORREF kDirectoryBack = RGB(245, 245, 245);
constexpr COLORREF kLoadingBack = RGB(240, 240, 240);

constexpr wchar_t kFormProperty[] = L"SvCatalogueForm";

const char kLogStart[] = "PatchKeeper > RealoadLV1 > Start";
const char kLogMakeList[] = "PatchKeeper > RealoadLV1 > MakeList";
const char kLogRefresh[] = "PatchKeeper > RealoadLV1 > LVRefresh";
const char kLogDone[] = "PatchKeeper > RealoadLV1 > Done";
const char kRestartSwitch[] = "-closeprev";

// The last catalogue RunPlugin made; the exports with a null window use it.
HWND g_current = nullptr;

std::wstring LoadText(int id) {
  wchar_t buffer[kCaptionLength] = {};
  LoadStringW(ui::ThisModule(), id, buffer, kCaptionLength);
  return buffer;
}

void PostToShell(WPARAM command) {
  if (HWND main = ui::MainWindow()) PostMessageW(main, WM_SHELL_COMMAND, command, 0);
}

std::string ProgramFolder() {
  std::string folder = sv::TakeOut([](SvStr* out) { GetCurrDir(out); });
  if (!folder.empty() && folder.back() != '\\') folder += '\\';
  return folder;
}

int CompareRussian(const std::string& a, const std::string& b) { return RusCompareStr(a.c_str(), b.c_str()); }

bool IsPlugin(const std::vector<Entry>& entries, int row) {
  return row >= 0 && row < static_cast<int>(entries.size()) && entries[row].kind == Kind::kPlugin;
}

}  // namespace

HWND CatalogueForm::Open(HWND mdiClient, HWND application) {
  if (!mdiClient) return nullptr;
  ui::RegisterWindowClass(ui::ThisModule(), kCatalogueClass, GetSysColorBrush(COLOR_BTNFACE));
  auto* form = new CatalogueForm(application);
  HWND window = form->CreateMdiChild(mdiClient, kCatalogueClass, sv::Narrow(LoadText(IDS_CATALOGUE_HEADER)),
                                     ui::ThisModule(), WS_CLIPCHILDREN);
  // A window that failed to appear may already have deleted the object.
  if (!window) return nullptr;
  g_current = window;
  form->Refresh();
  return window;
}

CatalogueForm* CatalogueForm::Resolve(HWND window) {
  for (HWND candidate : {window, g_current}) {
    if (!candidate || !IsWindow(candidate)) continue;
    DWORD process = 0;
    GetWindowThreadProcessId(candidate, &process);
    if (process != GetCurrentProcessId()) continue;
    if (auto* form = static_cast<CatalogueForm*>(GetPropW(candidate, kFormProperty))) return form;
  }
  return nullptr;
}

CatalogueForm::~CatalogueForm() {
  if (g_current == Handle()) g_current = nullptr;
  job_.reset();
  // The list view does not own its image list (LVS_SHAREIMAGELISTS).
  if (pictures_) ImageList_Destroy(pictures_);
}

HWND CatalogueForm::AddToolButton(int id, int hintId, int picture) {
  // The hint is also the button's text, so that it is found by it; the
  // button shows only its picture.
  std::wstring hint = LoadText(hintId);
  HWND button = CreateWindowExW(0, L"BUTTON", hint.c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON | BS_ICON,
                                0, 0, 0, 0, Handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                ui::ThisModule(), nullptr);
  sv::Icon& icon = picture == kPictureRefresh ? refreshIcon_ : closeIcon_;
  icon.Reset(ImageList_GetIcon(pictures_, picture, ILD_TRANSPARENT));
  SendMessageW(button, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon.Get()));
  TOOLINFOW tool = {};
  tool.cbSize = sizeof(tool);
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = Handle();
  tool.uId = reinterpret_cast<UINT_PTR>(button);
  tool.lpszText = const_cast<wchar_t*>(hint.c_str());
  SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  return button;
}

void CatalogueForm::OnCreate() {
  SetPropW(Handle(), kFormProperty, this);
  normalFont_ = ui::DialogFont();
  directoryFont_.Reset(ui::CreatePointFont(kDirectoryPoints, true));
  captionFont_.Reset(ui::CreatePointFont(kCaptionPoints, true));
  pictures_ = LoadCataloguePictures(ui::ThisModule());
  job_ = std::make_unique<CatalogueJob>(Handle(), kJobTimer);
  job_->onDone = [this] { OnQueryDone(); };

  headerIcon_.Reset(static_cast<HICON>(LoadImageW(ui::ThisModule(), MAKEINTRESOURCEW(IDI_CATALOGUE_HEADER), IMAGE_ICON,
                                                  kHeaderPicture, kHeaderPicture, LR_DEFAULTCOLOR)));
  picture_ = CreateWindowExW(0, L"STATIC", nullptr, WS_CHILD | WS_VISIBLE | SS_ICON | SS_REALSIZEIMAGE, 0, 0,
                             kHeaderPicture, kHeaderPicture, Handle(), reinterpret_cast<HMENU>(IDC_CATALOGUE_PICTURE),
                             ui::ThisModule(), nullptr);
  SendMessageW(picture_, STM_SETICON, reinterpret_cast<WPARAM>(headerIcon_.Get()), 0);
  caption_ = CreateWindowExW(0, L"STATIC", LoadText(IDS_CATALOGUE_HEADER).c_str(),
                             WS_CHILD | WS_VISIBLE | SS_LEFT | SS_CENTERIMAGE, 0, 0, 0, 0, Handle(),
                             reinterpret_cast<HMENU>(IDC_CATALOGUE_CAPTION), ui::ThisModule(), nullptr);
  SendMessageW(caption_, WM_SETFONT, reinterpret_cast<WPARAM>(captionFont_.Get()), FALSE);
  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Handle(), nullptr, ui::ThisModule(), nullptr);
  refresh_ = AddToolButton(IDC_CATALOGUE_REFRESH, IDS_CATALOGUE_REFRESH, kPictureRefresh);
  close_ = AddToolButton(IDC_CATALOGUE_CLOSE, IDS_CATALOGUE_CLOSE, kPictureClose);

  HWND list = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL |
                                  LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS,
                              0, 0, 0, 0, Handle(), reinterpret_cast<HMENU>(IDC_CATALOGUE_LIST), ui::ThisModule(),
                              nullptr);
  SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(normalFont_.Get()), FALSE);
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_DOUBLEBUFFER | LVS_EX_FULLROWSELECT,
               LVS_EX_DOUBLEBUFFER | LVS_EX_FULLROWSELECT);
  SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(pictures_));
  const int widths[kColumnCount] = {200, kVersionColumn, kDateColumn, kStatusColumn};
  for (int column = 0; column < kColumnCount; ++column) {
    std::wstring name = LoadText(IDS_CATALOGUE_COLUMN_FIRST + column);
    LVCOLUMNW c = {};
    c.mask = LVCF_TEXT | LVCF_WIDTH;
    c.pszText = const_cast<wchar_t*>(name.c_str());
    c.cx = widths[column];
    SendMessageW(list, LVM_INSERTCOLUMNW, column, reinterpret_cast<LPARAM>(&c));
  }
  list_.Attach(list);
  list_.SetSource([this](int row, int column) { return CellText(row, column); },
                  [this](int row) { return RowImage(row); });

  memo_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                          WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, 0, 0, 0, 0,
                          Handle(), reinterpret_cast<HMENU>(IDC_CATALOGUE_MEMO), ui::ThisModule(), nullptr);
  SendMessageW(memo_, WM_SETFONT, reinterpret_cast<WPARAM>(normalFont_.Get()), FALSE);
  actionCaption_ = LoadText(IDS_CATALOGUE_ACTION);
  action_ = CreateWindowExW(0, L"BUTTON", actionCaption_.c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                            0, 0, 0, 0, Handle(), reinterpret_cast<HMENU>(IDC_CATALOGUE_ACTION), ui::ThisModule(),
                            nullptr);
  SendMessageW(action_, WM_SETFONT, reinterpret_cast<WPARAM>(normalFont_.Get()), FALSE);
  EnableWindow(action_, FALSE);
}

void CatalogueForm::Layout() {
  RECT client = {};
  GetClientRect(Handle(), &client);
  const int width = client.right, height = client.bottom;
  const int toolTop = (kHeaderHeight - kToolButton) / 2;
  MoveWindow(picture_, kMargin, (kHeaderHeight - kHeaderPicture) / 2, kHeaderPicture, kHeaderPicture, TRUE);
  MoveWindow(close_, width - kMargin - kToolButton, toolTop, kToolButton, kToolButton, TRUE);
  MoveWindow(refresh_, width - kMargin - 2 * kToolButton - 2, toolTop, kToolButton, kToolButton, TRUE);
  const int captionLeft = 2 * kMargin + kHeaderPicture;
  int captionWidth = width - captionLeft - 2 * kToolButton - 3 * kMargin;
  MoveWindow(caption_, captionLeft, 0, captionWidth > 0 ? captionWidth : 0, kHeaderHeight, TRUE);

  const int bottomTop = height - kBottomHeight;
  int listHeight = bottomTop - kHeaderHeight;
  MoveWindow(list_.Handle(), 0, kHeaderHeight, width, listHeight > 0 ? listHeight : 0, TRUE);
  const int memoWidth = width - kMemoShortfall;
  MoveWindow(memo_, kMargin, bottomTop + kMargin, memoWidth > 0 ? memoWidth : 0, kBottomHeight - 2 * kMargin, TRUE);
  MoveWindow(action_, width - kActionWidth - kMargin, bottomTop + kMargin, kActionWidth, kActionHeight, TRUE);

  // The plugin column takes what the fixed columns leave.
  RECT listClient = {};
  GetClientRect(list_.Handle(), &listClient);
  int first = listClient.right - kVersionColumn - kDateColumn - kStatusColumn;
  SendMessageW(list_.Handle(), LVM_SETCOLUMNWIDTH, 0, first > 100 ? first : 100);
}

std::string CatalogueForm::CellText(int row, int column) const {
  if (row < 0 || row >= static_cast<int>(entries_.size())) return std::string();
  const Entry& e = entries_[row];
  if (column == 0) return e.title;
  if (e.kind != Kind::kPlugin) return std::string();
  switch (column) {
    case 1: return sv::catalogue::VersionText(e.version);
    case 2: return e.date;
    case 3: return LookOf(e.status).text;
  }
  return std::string();
}

int CatalogueForm::RowImage(int row) {
  if (row < 0 || row >= static_cast<int>(entries_.size())) return -1;
  Entry& e = entries_[row];
  if (e.kind != Kind::kPlugin) return kPictureDirectory;
  if (e.image == -1) e.image = AddIconFile(pictures_, ProgramFolder() + e.key + ".ico");
  return e.image;
}

void CatalogueForm::SetLoading(bool loading) {
  refreshEnabled_ = !loading;
  EnableWindow(refresh_, !loading);
  EnableWindow(list_.Handle(), !loading);
  if (loading) {
    actionEnabled_ = false;
    EnableWindow(action_, FALSE);
  } else {
    ShowSelection(SelectedRow());
  }
  InvalidateRect(list_.Handle(), nullptr, TRUE);
}

void CatalogueForm::Refresh() {
  if (!refreshEnabled_) return;
  SetLoading(true);
  job_->RunQuery(sv::catalogue::kReadlistRequest);
}

void CatalogueForm::OnQueryDone() {
  if (job_->Correct()) {
    Reload(job_->Reply());
  } else {
    AppShowNoNetMsg(sv::Narrow(LoadText(IDS_CATALOGUE_HEADER)).c_str(), "");
  }
  SetLoading(false);
  HandlePending();
}

void CatalogueForm::Reload(const std::string& reply) {
  DebugWrite(kLogStart);
  DropPluginIcons(pictures_);
  DebugWrite(kLogMakeList);
  // The selection follows its plugin, not its row number, into the new list.
  const int selected = SelectedRow();
  const std::string selectedKey = IsPlugin(entries_, selected) ? entries_[selected].key : std::string();
  std::vector<Entry> entries = sv::catalogue::ParseReadlist3(reply);
  sv::catalogue::ComputeStatuses(entries, GetProgVersion(), MachineFacts(ProgramFolder()));
  entries_ = sv::catalogue::OrderEntries(std::move(entries), CompareRussian);
  DebugWrite(kLogRefresh);
  SelectRow(-1);
  list_.SetRowCount(static_cast<int>(entries_.size()));
  for (size_t row = 0; !selectedKey.empty() && row < entries_.size(); ++row)
    if (entries_[row].kind == Kind::kPlugin && entries_[row].key == selectedKey) {
      SelectRow(static_cast<int>(row));
      break;
    }
  DebugWrite(kLogDone);
}

void CatalogueForm::Download(const std::string& key) {
  pendingKey_ = key;
  HandlePending();
}

void CatalogueForm::HandlePending() {
  if (!refreshEnabled_ || pendingKey_.empty()) return;
  const std::string key = std::move(pendingKey_);
  pendingKey_.clear();
  for (size_t row = 0; row < entries_.size(); ++row) {
    if (entries_[row].kind != Kind::kPlugin || entries_[row].key != key) continue;
    SelectRow(static_cast<int>(row));
    ShowSelection(static_cast<int>(row));
    RunAction();
    return;
  }
}

int CatalogueForm::SelectedRow() const {
  return static_cast<int>(SendMessageW(list_.Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

// Row -1 removes the selection.
void CatalogueForm::SelectRow(int row) {
  LVITEMW item = {};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  if (row < 0) {
    SendMessageW(list_.Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
    return;
  }
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(list_.Handle(), LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
  SendMessageW(list_.Handle(), LVM_ENSUREVISIBLE, row, FALSE);
}

// The memo and the action follow the selected row.
void CatalogueForm::ShowSelection(int row) {
  if (!IsPlugin(entries_, row)) {
    ui::SetText(memo_, "");
    actionEnabled_ = false;
    EnableWindow(action_, FALSE);
    if (row >= 0 && row < static_cast<int>(entries_.size())) SelectRow(-1);
    return;
  }
  const Entry& plugin = entries_[row];
  ui::SetText(memo_, sv::catalogue::MemoText(plugin.description));
  const char* action = LookOf(plugin.status).action;
  if (action) {
    actionCaption_ = sv::Wide(action);
    SetWindowTextW(action_, actionCaption_.c_str());
  }
  actionEnabled_ = action != nullptr && refreshEnabled_;
  EnableWindow(action_, actionEnabled_);
}

// Row -1: a click beside the rows, which leaves the selection as it was.
void CatalogueForm::OpenMenuAtRow(int row, POINT at) {
  if (row >= 0) ShowSelection(row);
  sv::UniqueResource<sv::MenuTraits> menu(LoadMenuW(ui::ThisModule(), MAKEINTRESOURCEW(IDR_CATALOGUE_MENU)));
  if (!menu) return;
  HMENU popup = GetSubMenu(menu.Get(), 0);
  ModifyMenuW(popup, IDM_CATALOGUE_ACTION, MF_BYCOMMAND | MF_STRING, IDM_CATALOGUE_ACTION, actionCaption_.c_str());
  EnableMenuItem(popup, IDM_CATALOGUE_ACTION, MF_BYCOMMAND | (actionEnabled_ ? MF_ENABLED : MF_GRAYED));
  EnableMenuItem(popup, IDM_CATALOGUE_REFRESH, MF_BYCOMMAND | (refreshEnabled_ ? MF_ENABLED : MF_GRAYED));
  TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, Handle(), nullptr);
}

void CatalogueForm::OpenMenuFromKeyboard() {
  const int row = SelectedRow();
  if (row < 0) return;
  RECT bounds = {};
  bounds.left = LVIR_BOUNDS;
  if (!SendMessageW(list_.Handle(), LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&bounds))) return;
  POINT at = {bounds.left + kMenuOffsetX, bounds.top + kMenuOffsetY};
  ClientToScreen(list_.Handle(), &at);
  OpenMenuAtRow(row, at);
}

void CatalogueForm::RunAction() {
  if (!refreshEnabled_) return;
  const int row = SelectedRow();
  if (!IsPlugin(entries_, row)) return;
  const Entry plugin = entries_[row];  // a copy: the refresh below replaces the list
  const std::string caption = sv::Narrow(LoadText(IDS_CATALOGUE_HEADER));
  switch (plugin.status) {
    case sv::catalogue::kRestartNeeded:
      if (ui::MessageBox1251(Owner(), sv::catalogue::RestartQuestion(plugin.title), caption,
                             MB_YESNO | MB_ICONINFORMATION | MB_TOPMOST) == IDYES)
        SVShellExe("", kRestartSwitch);
      break;
    case sv::catalogue::kOldProgram:
      ui::MessageBox1251(Owner(), sv::catalogue::OldProgramMessage(plugin.title), caption,
                         MB_OK | MB_ICONINFORMATION | MB_TOPMOST);
      break;
    case sv::catalogue::kNotUpdated:
    case sv::catalogue::kNotInstalled:
      Install(plugin);
      break;
    default:
      break;
  }
}

void CatalogueForm::Install(const Entry& plugin) {
  pendingKey_.clear();
  refreshEnabled_ = false;
  EnableWindow(refresh_, FALSE);
  actionEnabled_ = false;
  EnableWindow(action_, FALSE);
  CreateInstallJob(plugin);
  refreshEnabled_ = true;
  EnableWindow(refresh_, TRUE);
  // The new list shows the plugin as being loaded.
  Refresh();
}

// The application window adopted from the shell owns the message boxes;
// without one, the window itself does.
HWND CatalogueForm::Owner() const { return application_ && IsWindow(application_) ? application_ : Handle(); }

bool CatalogueForm::OnMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) {
  switch (message) {
    case WM_CREATE:
      OnCreate();
      return false;  // the MDI child procedure has its own work to do
    case WM_SIZE:
      Layout();
      return false;  // DefMDIChildProc must see WM_SIZE too
    case WM_TIMER:
      if (wparam != kJobTimer) return false;
      job_->OnTimer();
      *result = 0;
      return true;
    case WM_MDIACTIVATE:
      if (reinterpret_cast<HWND>(lparam) == Handle()) PostToShell(SVSHELL_PLUGIN_ACTIVATED);
      return false;
    case WM_CLOSE:
      // The shell closes plugins: the window only asks it to.
      PostToShell(SVSHELL_CLOSE_ACTIVE_PLUGIN);
      *result = 0;
      return true;
    case WM_COMMAND:
      if (lparam && HIWORD(wparam) != BN_CLICKED) return false;
      OnCommand(LOWORD(wparam));
      *result = 0;
      return true;
    case kOpenMenuMessage:
      OpenMenuFromKeyboard();
      *result = 0;
      return true;
    case WM_CONTEXTMENU:
      // The list's menus come from NM_RCLICK and LVN_KEYDOWN; this one
      // would be a second menu.
      if (reinterpret_cast<HWND>(wparam) != list_.Handle()) return false;
      *result = 0;
      return true;
    case WM_NOTIFY:
      return OnNotify(reinterpret_cast<const NMHDR*>(lparam), result);
    case WM_DESTROY:
      if (job_) job_->Stop();
      RemovePropW(Handle(), kFormProperty);
      if (g_current == Handle()) g_current = nullptr;
      return false;
  }
  return false;
}

void CatalogueForm::OnCommand(int id) {
  switch (id) {
    case IDC_CATALOGUE_REFRESH:
    case IDM_CATALOGUE_REFRESH:
      Refresh();
      break;
    case IDC_CATALOGUE_CLOSE:
      PostToShell(SVSHELL_CLOSE_ACTIVE_PLUGIN);
      break;
    case IDC_CATALOGUE_ACTION:
    case IDM_CATALOGUE_ACTION:
      RunAction();
      break;
  }
}

bool CatalogueForm::OnNotify(const NMHDR* header, LRESULT* result) {
  if (!header || header->hwndFrom != list_.Handle()) return false;
  switch (header->code) {
    case LVN_GETDISPINFOW:
      list_.OnNotify(header);
      *result = 0;
      return true;
    case NM_CUSTOMDRAW:
      *result = OnCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(const_cast<NMHDR*>(header)));
      return true;
    case LVN_ITEMCHANGED: {
      auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
      if ((change->uChanged & LVIF_STATE) && (change->uNewState & LVIS_SELECTED) && !(change->uOldState & LVIS_SELECTED))
        ShowSelection(change->iItem);
      *result = 0;
      return true;
    }
    case NM_RCLICK: {
      auto* click = reinterpret_cast<const NMITEMACTIVATE*>(header);
      LVHITTESTINFO hit = {};
      hit.pt = click->ptAction;
      const int row = static_cast<int>(SendMessageW(list_.Handle(), LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
      // Beside the rows the menu still offers the refresh.
      if (row >= 0) SelectRow(row);
      POINT at = click->ptAction;
      ClientToScreen(list_.Handle(), &at);
      OpenMenuAtRow(row, at);
      *result = 1;  // no WM_CONTEXTMENU besides
      return true;
    }
    case NM_DBLCLK:
      RunAction();
      *result = 0;
      return true;
    case LVN_KEYDOWN: {
      const WORD key = reinterpret_cast<const NMLVKEYDOWN*>(header)->wVKey;
      // The menu key and Shift+F10 come here too: the list does not pass
      // them on as WM_CONTEXTMENU everywhere. Enter's and Space's WM_CHAR is
      // already queued and would close a menu opened now: the menu opens
      // once that has passed.
      const bool menuKey = key == VK_APPS || (key == VK_F10 && GetKeyState(VK_SHIFT) < 0);
      if (key == VK_RETURN || key == VK_SPACE || menuKey) PostMessageW(Handle(), kOpenMenuMessage, 0, 0);
      *result = 0;
      return true;
    }
  }
  return false;
}

LRESULT CatalogueForm::OnCustomDraw(NMLVCUSTOMDRAW* draw) {
  switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: {
      const size_t row = draw->nmcd.dwItemSpec;
      if (row < entries_.size() && entries_[row].kind == Kind::kDirectory) {
        SelectObject(draw->nmcd.hdc, directoryFont_.Get());
        draw->clrText = kDirectoryText;
        draw->clrTextBk = refreshEnabled_ ? kDirectoryBack : kLoadingBack;
        return CDRF_NEWFONT;
      }
      return CDRF_NOTIFYSUBITEMDRAW;
    }
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
      const size_t row = draw->nmcd.dwItemSpec;
      SelectObject(draw->nmcd.hdc, normalFont_.Get());
      draw->clrText = GetSysColor(COLOR_WINDOWTEXT);
      if (draw->iSubItem == 3 && row < entries_.size()) {
        const auto& look = LookOf(entries_[row].status);
        if (!look.default_colour) draw->clrText = RGB(look.r, look.g, look.b);
      }
      // Idle rows keep the list's own background, so the selection shows.
      if (!refreshEnabled_) draw->clrTextBk = kLoadingBack;
      return CDRF_NEWFONT;
    }
  }
  return CDRF_DODEFAULT;
}

}  // namespace patchkeeper
