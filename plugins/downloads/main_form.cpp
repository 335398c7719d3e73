#include "main_form.h"

#include <shlobj.h>

#include "SolvikaDNM.h"
#include "SolvikaMain.h"
#include "SolvikaUtils.h"
#include "app.h"
#include "commands.h"
#include "fonts.h"
#include "main_form_ids.h"
#include "main_window.h"
#include "message_box.h"
#include "pictures.h"
#include "svstring.h"
#include "text.h"
#include "url_form.h"
#include "wide.h"

namespace fetchkeeper {

namespace {

constexpr UINT_PTR kRefreshTimer = 1;
constexpr UINT kFirstIntervalMs = 500;     // until the window is first activated
constexpr UINT kActiveIntervalMs = 300;
constexpr UINT kInactiveIntervalMs = 1000;

constexpr int kMargin = 4;
constexpr int kHeaderHeight = 22;
constexpr int kButtonHeight = 26;
constexpr int kButtonGap = 2;
constexpr int kErrorsHeight = 72;
constexpr int kFixedColumnsWidth = 440;  // five columns of 80
constexpr int kFixedColumnWidth = 80;
constexpr int kCaptionLength = 256;
constexpr int kButtonTextPadding = 34;   // picture and margins beside a button's text

constexpr COLORREF kNavy = RGB(0, 0, 128);
constexpr COLORREF kMaroon = RGB(128, 0, 0);
constexpr COLORREF kGrey = RGB(128, 128, 128);
constexpr COLORREF kRed = RGB(255, 0, 0);

constexpr char kSettingsFile[] = "SolvikaLC.ini";
constexpr char kSettingsSection[] = "SVDNM";
constexpr char kSaveFolderKey[] = "SaveFolder";

std::wstring LoadText(int id) {
  wchar_t buffer[kCaptionLength] = {};
  LoadStringW(ui::ThisModule(), id, buffer, kCaptionLength);
  return buffer;
}

// The error log separates its lines by CR alone; an edit box wants CR LF.
std::string WithCrLf(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\n' && (i == 0 || text[i - 1] != '\r')) {
      out += "\r\n";
    } else if (c == '\r') {
      out += "\r\n";
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out += c;
    }
  }
  return out;
}

void PostToShell(WPARAM command) {
  if (HWND main = ui::MainWindow()) PostMessageW(main, WM_SHELL_COMMAND, command, 0);
}

}  // namespace

HWND MainForm::Open(HWND mdiClient, HWND application, const std::string& pluginKey) {
  ui::RegisterWindowClass(ui::ThisModule(), kMainFormClass, GetSysColorBrush(COLOR_BTNFACE));
  auto* form = new MainForm(application, pluginKey);
  HWND window = form->CreateMdiChild(mdiClient, kMainFormClass, sv::Narrow(LoadText(IDS_MAINFORM_HEADER)),
                                     ui::ThisModule(), WS_CLIPCHILDREN);
  // A window that failed to appear may or may not have seen WM_NCDESTROY.
  if (!window && form->Handle() == nullptr) return nullptr;
  return window;
}

MainForm::~MainForm() {
  timer_.Stop();
  for (HICON icon : buttonIcons_) DestroyIcon(icon);
  // The list view does not own its image list (LVS_SHAREIMAGELISTS).
  if (statusPictures_) ImageList_Destroy(statusPictures_);
  if (buttonPictures_) ImageList_Destroy(buttonPictures_);
}

HWND MainForm::AddButton(int id, int captionId, int picture) {
  std::wstring caption = LoadText(captionId);
  HWND button = CreateWindowExW(0, L"BUTTON", caption.c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                                0, 0, 0, 0, Handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                ui::ThisModule(), nullptr);
  SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(normalFont_.Get()), FALSE);
  SetButtonPicture(button, picture);
  TOOLINFOW tool = {};
  tool.cbSize = sizeof(tool);
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = Handle();
  tool.uId = reinterpret_cast<UINT_PTR>(button);
  tool.lpszText = const_cast<wchar_t*>(caption.c_str());
  SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  return button;
}

void MainForm::SetButtonPicture(HWND button, int picture) {
  if (reinterpret_cast<INT_PTR>(GetPropW(button, kPictureProperty)) == picture + 1) return;
  SetPropW(button, kPictureProperty, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(picture + 1)));
  HICON& icon = buttonIcons_[picture];
  if (!icon) icon = ImageList_GetIcon(buttonPictures_, picture, ILD_TRANSPARENT);
  SendMessageW(button, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
}

void MainForm::OnCreate() {
  normalFont_ = ui::DialogFont();
  boldFont_ = ui::DialogFont(FW_BOLD);
  headerFont_ = ui::DialogFont(FW_BOLD);
  statusPictures_ = DrawStatusPictures();
  buttonPictures_ = DrawButtonPictures();
  buttonIcons_.assign(kButtonPictureCount, nullptr);

  header_ = CreateWindowExW(0, L"STATIC", LoadText(IDS_MAINFORM_HEADER).c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT, 0,
                            0, 0, 0, Handle(), reinterpret_cast<HMENU>(IDC_MAINFORM_HEADER), ui::ThisModule(), nullptr);
  SendMessageW(header_, WM_SETFONT, reinterpret_cast<WPARAM>(headerFont_.Get()), FALSE);
  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Handle(), nullptr, ui::ThisModule(), nullptr);

  close_ = AddButton(IDC_MAINFORM_CLOSE, IDS_MAINFORM_CLOSE, kPictureClose);
  up_ = AddButton(IDC_MAINFORM_UP, IDS_MAINFORM_UP, kPictureUp);
  down_ = AddButton(IDC_MAINFORM_DOWN, IDS_MAINFORM_DOWN, kPictureDown);
  start_ = AddButton(IDC_MAINFORM_START, IDS_MAINFORM_START, kPictureStart);
  pause_ = AddButton(IDC_MAINFORM_PAUSE, IDS_MAINFORM_PAUSE, kPicturePause);
  add_ = AddButton(IDC_MAINFORM_ADD, IDS_MAINFORM_ADD, kPictureAdd);
  speed_ = AddButton(IDC_MAINFORM_SPEED, IDS_MAINFORM_SPEED, SpeedButtonImage(0));
  threads_ = AddButton(IDC_MAINFORM_THREADS, IDS_MAINFORM_THREADS, ThreadsButtonImage(1));
  EnableWindow(up_, FALSE);
  EnableWindow(down_, FALSE);

  HWND list = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL |
                                  LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS,
                              0, 0, 0, 0, Handle(), reinterpret_cast<HMENU>(IDC_MAINFORM_LIST), ui::ThisModule(),
                              nullptr);
  SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(normalFont_.Get()), FALSE);
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_DOUBLEBUFFER | LVS_EX_FULLROWSELECT,
               LVS_EX_DOUBLEBUFFER | LVS_EX_FULLROWSELECT);
  SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(statusPictures_));
  for (int column = 0; column < kColumnCount; ++column) {
    std::wstring name = LoadText(IDS_MAINFORM_COLUMN_FIRST + column);
    LVCOLUMNW c = {};
    c.mask = LVCF_TEXT | LVCF_WIDTH;
    c.pszText = const_cast<wchar_t*>(name.c_str());
    c.cx = kFixedColumnWidth;
    SendMessageW(list, LVM_INSERTCOLUMNW, column, reinterpret_cast<LPARAM>(&c));
  }
  list_.Attach(list);
  list_.SetSource([this](int row, int column) { return row >= 0 && row < (int)rows_.size() ? CellText(rows_[row], column) : std::string(); },
                  [this](int row) { return row >= 0 && row < (int)rows_.size() ? (int)rows_[row].status : -1; });

  errors_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                            WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, 0, 0, 0,
                            0, Handle(), reinterpret_cast<HMENU>(IDC_MAINFORM_ERRORS), ui::ThisModule(), nullptr);
  SendMessageW(errors_, WM_SETFONT, reinterpret_cast<WPARAM>(normalFont_.Get()), FALSE);

  rows_.clear();
  interval_ = kFirstIntervalMs;
  RestartTimer();
}

void MainForm::Layout() {
  RECT client = {};
  GetClientRect(Handle(), &client);
  int width = client.right - client.left, height = client.bottom - client.top;
  MoveWindow(header_, kMargin, kMargin, width - 2 * kMargin, kHeaderHeight - kMargin, TRUE);

  int x = kMargin, y = kHeaderHeight;
  HDC dc = GetDC(Handle());
  HGDIOBJ old = SelectObject(dc, normalFont_.Get());
  for (HWND button : {close_, up_, down_, start_, pause_, add_, speed_, threads_}) {
    wchar_t text[kCaptionLength] = {};
    GetWindowTextW(button, text, kCaptionLength);
    SIZE size = {};
    GetTextExtentPoint32W(dc, text, lstrlenW(text), &size);
    int buttonWidth = size.cx + kButtonTextPadding;
    // A narrow window puts the buttons that do not fit on a further row.
    if (x > kMargin && x + buttonWidth > width - kMargin) {
      x = kMargin;
      y += kButtonHeight + kButtonGap;
    }
    MoveWindow(button, x, y, buttonWidth, kButtonHeight, TRUE);
    x += buttonWidth + kButtonGap;
  }
  SelectObject(dc, old);
  ReleaseDC(Handle(), dc);

  int listTop = y + kButtonHeight + kMargin;
  int errorsTop = height - kErrorsHeight - kMargin;
  int listHeight = errorsTop - kMargin - listTop;
  if (listHeight < 0) listHeight = 0;
  MoveWindow(list_.Handle(), kMargin, listTop, width - 2 * kMargin, listHeight, TRUE);
  MoveWindow(errors_, kMargin, errorsTop, width - 2 * kMargin, kErrorsHeight, TRUE);

  RECT listClient = {};
  GetClientRect(list_.Handle(), &listClient);
  SendMessageW(list_.Handle(), LVM_SETCOLUMNWIDTH, 0, listClient.right - kFixedColumnsWidth);
  for (int column = 1; column < kColumnCount; ++column)
    SendMessageW(list_.Handle(), LVM_SETCOLUMNWIDTH, column, kFixedColumnWidth);
}

void MainForm::RestartTimer() { timer_.Start(Handle(), kRefreshTimer, interval_); }

void MainForm::Refresh() {
  timer_.Stop();
  // The rows follow from the list text alone: an unchanged list (the usual
  // tick when nothing transfers) needs neither new rows nor a repaint.
  std::string jobs = sv::TakeOut([](SvStr* out) { SVDNMImportJobsList(out); });
  if (jobs != shownJobs_ || rows_.empty()) {
    FillRows(jobs, rows_);
    list_.SetRowCount(static_cast<int>(rows_.size()));
    shownJobs_ = std::move(jobs);
  }

  bool enabled = SVDNMGetParams(SVDNM_GET_ENABLED) != 0;
  runEnabled_ = !enabled;
  pauseEnabled_ = enabled;
  EnableWindow(start_, runEnabled_);
  EnableWindow(pause_, pauseEnabled_);

  SetButtonPicture(speed_, SpeedButtonImage(SVDNMGetParams(SVDNM_GET_SLEEP)));
  SetButtonPicture(threads_, ThreadsButtonImage(SVDNMGetParams(SVDNM_GET_THREADS)));
  EnableWindow(speed_, TRUE);
  EnableWindow(threads_, TRUE);

  ShowErrors(sv::TakeOut([](SvStr* out) { SVDNMGetErrorString(out); }));
  RestartTimer();
}

void MainForm::ShowErrors(const std::string& messages) {
  if (messages.empty()) return;
  std::string text = WithCrLf(messages);
  if (text.size() < 2 || text.compare(text.size() - 2, 2, "\r\n") != 0) text += "\r\n";
  ui::SetText(errors_, text + ui::GetText(errors_));
}

bool MainForm::OnMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) {
  switch (message) {
    case WM_CREATE:
      OnCreate();
      return false;  // the MDI child procedure has its own work to do
    case WM_SIZE:
      Layout();
      return false;  // DefMDIChildProc must see WM_SIZE too
    case WM_TIMER:
      if (wparam != kRefreshTimer) return false;
      Refresh();
      *result = 0;
      return true;
    case WM_MDIACTIVATE:
      if (reinterpret_cast<HWND>(lparam) == Handle()) {
        PostToShell(SVSHELL_PLUGIN_ACTIVATED);
        interval_ = kActiveIntervalMs;
      } else {
        interval_ = kInactiveIntervalMs;
      }
      RestartTimer();
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
    case WM_NOTIFY:
      return OnNotify(reinterpret_cast<const NMHDR*>(lparam), result);
    case WM_DESTROY:
      timer_.Stop();
      rows_.clear();
      return false;
  }
  return false;
}

bool MainForm::OnNotify(const NMHDR* header, LRESULT* result) {
  if (!header || header->hwndFrom != list_.Handle()) return false;
  switch (header->code) {
    case LVN_GETDISPINFOW:
      list_.OnNotify(header);
      *result = 0;
      return true;
    case NM_CUSTOMDRAW:
      *result = OnCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(const_cast<NMHDR*>(header)));
      return true;
    case NM_CLICK:
    case NM_RCLICK:
      OnListClick(reinterpret_cast<const NMITEMACTIVATE*>(header), header->code == NM_RCLICK);
      *result = 0;
      return true;
    case LVN_ITEMCHANGED: {
      // Selecting with the keyboard (or from outside) counts as a click.
      auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
      if ((change->uChanged & LVIF_STATE) && (change->uNewState & LVIS_SELECTED) && !(change->uOldState & LVIS_SELECTED))
        SelectCode(change->iItem);
      *result = 0;
      return true;
    }
  }
  return false;
}

LRESULT MainForm::OnCustomDraw(NMLVCUSTOMDRAW* draw) {
  switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
      return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
      size_t row = draw->nmcd.dwItemSpec;
      RowStyle style = (draw->iSubItem == 0 && row < rows_.size()) ? StyleOfStatus(rows_[row].status) : RowStyle::kNormal;
      SelectObject(draw->nmcd.hdc, style == RowStyle::kBold ? boldFont_.Get() : normalFont_.Get());
      switch (style) {
        case RowStyle::kNavy: draw->clrText = kNavy; break;
        case RowStyle::kMaroon: draw->clrText = kMaroon; break;
        case RowStyle::kGrey: draw->clrText = kGrey; break;
        case RowStyle::kRed: draw->clrText = kRed; break;
        default: draw->clrText = GetSysColor(COLOR_WINDOWTEXT); break;
      }
      return CDRF_NEWFONT;
    }
  }
  return CDRF_DODEFAULT;
}

void MainForm::OnListClick(const NMITEMACTIVATE* click, bool right) {
  LVHITTESTINFO hit = {};
  hit.pt = click->ptAction;
  int row = static_cast<int>(SendMessageW(list_.Handle(), LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  if (row >= 0) SelectRow(row);
  SelectCode(row);
  if (row >= 0 && right) {
    POINT at = click->ptAction;
    ClientToScreen(list_.Handle(), &at);
    ShowMenu(IDR_MAINFORM_LIST_MENU, at, true);
  }
}

// The list's tag follows the row under the pointer: its code, or 0.
void MainForm::SelectCode(int row) {
  bool has = row >= 0 && row < static_cast<int>(rows_.size());
  selectedCode_ = has ? rows_[row].code : 0;
  EnableWindow(up_, has);
  EnableWindow(down_, has);
}

void MainForm::SelectRow(int row) {
  LVITEMW item = {};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(list_.Handle(), LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
  SendMessageW(list_.Handle(), LVM_ENSUREVISIBLE, row, FALSE);
}

void MainForm::ShowMenu(int menuId, POINT at, bool listMenu) {
  HMENU menu = LoadMenuW(ui::ThisModule(), MAKEINTRESOURCEW(menuId));
  if (!menu) return;
  HMENU popup = GetSubMenu(menu, 0);
  if (listMenu) {
    EnableMenuItem(popup, IDM_LIST_RUN, MF_BYCOMMAND | (runEnabled_ ? MF_ENABLED : MF_GRAYED));
    EnableMenuItem(popup, IDM_LIST_PAUSE, MF_BYCOMMAND | (pauseEnabled_ ? MF_ENABLED : MF_GRAYED));
  }
  TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, Handle(), nullptr);
  DestroyMenu(menu);
}

void MainForm::OnCommand(int id) {
  if (id > IDM_SPEED_BASE && id <= IDM_SPEED_BASE + static_cast<int>(std::size(kSpeedChoices))) {
    SVDNMSetParams(SVDNM_SET_SLEEP, kSpeedChoices[id - IDM_SPEED_BASE - 1].value);
    EnableWindow(speed_, FALSE);
    return;
  }
  if (id > IDM_THREADS_BASE && id <= IDM_THREADS_BASE + static_cast<int>(std::size(kThreadChoices))) {
    SVDNMSetParams(SVDNM_SET_THREADS, kThreadChoices[id - IDM_THREADS_BASE - 1].value);
    EnableWindow(threads_, FALSE);
    return;
  }
  switch (id) {
    case IDC_MAINFORM_CLOSE:
      PostToShell(SVSHELL_CLOSE_ACTIVE_PLUGIN);
      break;
    case IDC_MAINFORM_START:
    case IDM_LIST_RUN:
      Start();
      break;
    case IDC_MAINFORM_PAUSE:
    case IDM_LIST_PAUSE:
      Pause();
      break;
    case IDC_MAINFORM_UP:
      Move(true);
      break;
    case IDC_MAINFORM_DOWN:
      Move(false);
      break;
    case IDC_MAINFORM_ADD:
      AddUrl();
      break;
    case IDC_MAINFORM_SPEED:
    case IDC_MAINFORM_THREADS: {
      HWND button = id == IDC_MAINFORM_SPEED ? speed_ : threads_;
      RECT r = {};
      GetWindowRect(button, &r);
      ShowMenu(id == IDC_MAINFORM_SPEED ? IDR_MAINFORM_SPEED_MENU : IDR_MAINFORM_THREADS_MENU, {r.left, r.bottom},
               false);
      break;
    }
    case IDM_LIST_DELETE:
      AskAndDelete(IDM_LIST_DELETE);
      break;
    case IDM_LIST_DELETE_FINISHED:
      AskAndDelete(IDM_LIST_DELETE_FINISHED);
      break;
    case IDM_LIST_DELETE_FAILED:
      AskAndDelete(IDM_LIST_DELETE_FAILED);
      break;
  }
}

// Both buttons and menu items stay disabled until the next refresh shows
// what the manager made of the command.
void MainForm::Start() {
  SVDNMSetParams(SVDNM_SET_ENABLED, 1);
  runEnabled_ = pauseEnabled_ = false;
  EnableWindow(start_, FALSE);
  EnableWindow(pause_, FALSE);
}

void MainForm::Pause() {
  SVDNMSetParams(SVDNM_SET_ENABLED, 0);
  runEnabled_ = pauseEnabled_ = false;
  EnableWindow(start_, FALSE);
  EnableWindow(pause_, FALSE);
}

// The list shows the newest Pos first, so "up" gives the job a later Pos.
void MainForm::Move(bool up) {
  if (selectedCode_ == 0) return;
  SVDNMSetParams(up ? SVDNM_SET_LATER : SVDNM_SET_EARLIER, static_cast<int32_t>(selectedCode_));
  int row = static_cast<int>(SendMessageW(list_.Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  int target = up ? row - 1 : row + 1;
  uint32_t moved = selectedCode_;
  if (row >= 0 && target >= 0 && target < static_cast<int>(rows_.size())) SelectRow(target);
  selectedCode_ = moved;  // the tag stays with the job that moved
  Refresh();
}

void MainForm::AskAndDelete(int which) {
  Deletion deletion = which == IDM_LIST_DELETE            ? Deletion::kSelected
                      : which == IDM_LIST_DELETE_FINISHED ? Deletion::kFinished
                                                          : Deletion::kFailed;
  if (deletion == Deletion::kSelected && selectedCode_ == 0) return;
  uint32_t code = selectedCode_;
  int answer = ui::MessageBox1251(Owner(), DeletionQuestion(deletion), ui::GetText(Handle()),
                                  MB_YESNO | MB_ICONQUESTION | MB_TOPMOST);
  if (answer != IDYES) return;
  switch (deletion) {
    case Deletion::kSelected: SVDNMSetParams(SVDNM_SET_DELETE, static_cast<int32_t>(code)); break;
    case Deletion::kFinished: SVDNMSetParams(SVDNM_SET_DELETE_STATUS, SVDNM_INSTALLED); break;
    case Deletion::kFailed: SVDNMSetParams(SVDNM_SET_DELETE_STATUS, SVDNM_NOT_FOUND); break;
  }
}

// The application window adopted from the shell owns the plugin's dialogs
// and message boxes; without one, the window itself does.
HWND MainForm::Owner() const { return application_ && IsWindow(application_) ? application_ : Handle(); }

void MainForm::AddUrl() {
  std::string programFolder = WithTrailingSlash(sv::TakeOut([](SvStr* out) { GetCurrDir(out); }));
  std::string settings = programFolder + kSettingsFile;
  std::string stored = sv::TakeOut([&](SvStr* out) {
    GetCustomIniString(out, kSettingsSection, kSaveFolderKey, settings.c_str(), "");
  });
  UrlForm form(DefaultSaveFolder(stored, programFolder));
  if (!form.Ask(Owner())) return;
  const UrlRequest& request = form.Request();
  if (request.url.empty()) return;
  if (!IsAcceptedUrl(request.url)) {
    ui::MessageBox1251(Owner(), RefusedUrlText(), ui::GetText(Handle()), MB_OK | MB_ICONWARNING | MB_TOPMOST);
    return;
  }
  std::string folder = request.folder;
  if (folder != stored) SetCustomIniString(kSettingsSection, kSaveFolderKey, folder.c_str(), settings.c_str());
  if (!folder.empty()) SHCreateDirectoryExW(nullptr, sv::Wide(folder).c_str(), nullptr);  // failure ignored
  folder = WithTrailingSlash(folder);
  SVDNMCreateDownload(request.url.c_str(), folder.c_str());
  if (request.autoStart) Start();
}

}  // namespace fetchkeeper
