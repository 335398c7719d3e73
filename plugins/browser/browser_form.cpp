#include "browser_form.h"

#include <commctrl.h>

#include "SolvikaUtils.h"
#include "app.h"
#include "browser_form_ids.h"
#include "file_io.h"
#include "fonts.h"
#include "main_window.h"
#include "page_definition.h"
#include "page_text.h"
#include "pictures.h"
#include "sv_shell.h"
#include "svstring.h"
#include "temporary_page.h"
#include "text.h"
#include "wide.h"

namespace svbrowser {

namespace {

constexpr int kTextLength = 256;
constexpr int kBandHeight = 30;      // the row of the toolbar, indicator and logo
constexpr int kLogoSize = 16;
constexpr int kMargin = 4;
constexpr int kStatusWidth = 320;
constexpr int kMissingHeight = 40;

struct ToolButton {
  int id;
  int picture;
};
constexpr ToolButton kToolButtons[] = {
    {IDC_BROWSER_BACK, kPictureBack},       {IDC_BROWSER_FORWARD, kPictureForward},
    {IDC_BROWSER_REFRESH, kPictureRefresh}, {IDC_BROWSER_STOP, kPictureStop},
    {IDC_BROWSER_HOME, kPictureHome},       {IDC_BROWSER_CLOSE, kPictureClose},
};

std::wstring LoadText(int id) {
  wchar_t buffer[kTextLength] = {};
  LoadStringW(ui::ThisModule(), id, buffer, kTextLength);
  return buffer;
}

void PostToShell(WPARAM command) {
  if (HWND main = ui::MainWindow()) PostMessageW(main, WM_SHELL_COMMAND, command, 0);
}

std::string Setting(const std::string& key, const char* name, const char* fallback) {
  return sv::TakeOut([&](SvStr* out) { GetIniString(out, key.c_str(), name, fallback); });
}

std::string TemporaryFolder() {
  return sv::TakeOut([](SvStr* out) { GetTempDir(out); });
}

}  // namespace

HWND BrowserForm::Open(HWND mdiClient, HWND application, const std::string& pluginKey) {
  ui::RegisterWindowClass(ui::ThisModule(), kBrowserFormClass, GetSysColorBrush(COLOR_BTNFACE));
  auto* form = new BrowserForm(application, pluginKey);
  HWND window = form->CreateMdiChild(mdiClient, kBrowserFormClass, kDefaultName, ui::ThisModule(), WS_CLIPCHILDREN);
  // A window that failed to appear may or may not have seen WM_NCDESTROY.
  if (!window && form->Handle() == nullptr) return nullptr;
  if (window) form->Start();
  return window;
}

void BrowserForm::OnCreate() {
  font_ = ui::DialogFont();
  boldFont_ = ui::DialogFont(FW_BOLD);
  CreateToolbar();
  status_.Create(Handle(), IDC_BROWSER_STATUS, boldFont_.Get(), font_.Get());
  logo_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | SS_ICON | SS_CENTERIMAGE, 0, 0, kLogoSize, kLogoSize,
                          Handle(), reinterpret_cast<HMENU>(IDC_BROWSER_LOGO), ui::ThisModule(), nullptr);
}

void BrowserForm::CreateToolbar() {
  toolbar_ = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr,
                             WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_LIST | TBSTYLE_TOOLTIPS | CCS_NODIVIDER |
                                 CCS_NORESIZE | CCS_NOPARENTALIGN,
                             0, 0, 0, 0, Handle(), reinterpret_cast<HMENU>(IDC_BROWSER_TOOLBAR), ui::ThisModule(),
                             nullptr);
  SendMessageW(toolbar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  SendMessageW(toolbar_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
  toolPictures_ = DrawToolPictures();
  SendMessageW(toolbar_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(toolPictures_));
  std::wstring texts[std::size(kToolButtons)];
  TBBUTTON buttons[std::size(kToolButtons) + 1] = {};
  int count = 0;
  for (size_t i = 0; i < std::size(kToolButtons); ++i) {
    if (kToolButtons[i].id == IDC_BROWSER_CLOSE) {
      buttons[count].fsStyle = BTNS_SEP;  // close stands apart from the page's actions
      buttons[count].iBitmap = kMargin * 2;
      ++count;
    }
    texts[i] = LoadText(kToolButtons[i].id);
    TBBUTTON& b = buttons[count++];
    b.iBitmap = kToolButtons[i].picture;
    b.idCommand = kToolButtons[i].id;
    b.fsState = TBSTATE_ENABLED;
    b.fsStyle = BTNS_BUTTON | BTNS_AUTOSIZE;
    b.iString = reinterpret_cast<INT_PTR>(texts[i].c_str());
  }
  SendMessageW(toolbar_, TB_ADDBUTTONSW, count, reinterpret_cast<LPARAM>(buttons));
  SendMessageW(toolbar_, TB_AUTOSIZE, 0, 0);
}

void BrowserForm::Start() {
  topic_ = Setting(pluginKey_, "Topic", kDefaultTopic);
  startUrl_ = Setting(pluginKey_, "URL", kDefaultStartPage);
  currentUrl_ = startUrl_;
  status_.SetLabel(topic_);
  LoadIcon();

  if (host_.Create(Handle(), PageArea(), this)) {
    status_.Show(true);
    status_.StartAnimation();
    beforeNavigateOn_ = false;
    host_.Navigate(startUrl_);
    beforeNavigateOn_ = true;
  } else {
    // No control: the toolbar stays, with only "close" of use, and a note
    // takes the page's place.
    for (int id : {IDC_BROWSER_BACK, IDC_BROWSER_FORWARD, IDC_BROWSER_REFRESH, IDC_BROWSER_STOP, IDC_BROWSER_HOME})
      EnableButton(id, false);
    missing_ = CreateWindowExW(0, L"STATIC", LoadText(IDS_BROWSER_MISSING).c_str(),
                               WS_CHILD | WS_VISIBLE | SS_CENTER | SS_NOPREFIX, 0, 0, 0, 0, Handle(),
                               reinterpret_cast<HMENU>(IDC_BROWSER_MISSING), ui::ThisModule(), nullptr);
    SendMessageW(missing_, WM_SETFONT, reinterpret_cast<WPARAM>(boldFont_.Get()), FALSE);
    missingUrl_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_CENTER | SS_NOPREFIX, 0, 0, 0, 0,
                                  Handle(), reinterpret_cast<HMENU>(IDC_BROWSER_MISSING_URL), ui::ThisModule(),
                                  nullptr);
    SendMessageW(missingUrl_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
    ui::SetText(missingUrl_, sv::Narrow(LoadText(IDS_BROWSER_MISSING_URL)) + startUrl_);
    DebugWrite(("SVBrowser > " + pluginKey_ + " > the web browser control is not available").c_str());
  }
  Layout();
}

void BrowserForm::LoadIcon() {
  std::string path = sv::ProgramFolder() + PluginIdOfKey(pluginKey_) + ".ico";
  if (!sv::FileExists(path)) return;
  icon_.Reset(static_cast<HICON>(
      LoadImageW(nullptr, sv::Wide(path).c_str(), IMAGE_ICON, kLogoSize, kLogoSize, LR_LOADFROMFILE)));
  if (!icon_) return;
  SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_.Get()));
  SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_.Get()));
  SendMessageW(logo_, STM_SETICON, reinterpret_cast<WPARAM>(icon_.Get()), 0);
  ShowWindow(logo_, SW_SHOWNA);
}

RECT BrowserForm::PageArea() const {
  RECT client = {};
  GetClientRect(Handle(), &client);
  client.top = kBandHeight + 1;  // below the etched line
  if (client.bottom < client.top) client.bottom = client.top;
  return client;
}

void BrowserForm::Layout() {
  RECT client = {};
  GetClientRect(Handle(), &client);
  SIZE toolbarSize = {};
  SendMessageW(toolbar_, TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(&toolbarSize));
  int toolbarTop = (kBandHeight - toolbarSize.cy) / 2;
  MoveWindow(toolbar_, kMargin, toolbarTop > 0 ? toolbarTop : 0, toolbarSize.cx, toolbarSize.cy, TRUE);

  int right = client.right - kMargin;
  if (GetWindowLongW(logo_, GWL_STYLE) & WS_VISIBLE) {
    MoveWindow(logo_, right - kLogoSize, (kBandHeight - kLogoSize) / 2, kLogoSize, kLogoSize, TRUE);
    right -= kLogoSize + kMargin;
  }
  int statusLeft = kMargin + toolbarSize.cx + 3 * kMargin;
  int statusWidth = right - statusLeft;
  if (statusWidth > kStatusWidth) {
    statusLeft = right - kStatusWidth;
    statusWidth = kStatusWidth;
  }
  MoveWindow(status_.Handle(), statusLeft, 0, statusWidth > 0 ? statusWidth : 0, kBandHeight, TRUE);

  RECT page = PageArea();
  host_.Move(page);
  if (missing_) {
    int middle = (page.top + page.bottom) / 2;
    MoveWindow(missing_, page.left + kMargin, middle - kMissingHeight, page.right - page.left - 2 * kMargin,
               kMissingHeight, TRUE);
    MoveWindow(missingUrl_, page.left + kMargin, middle + kMargin, page.right - page.left - 2 * kMargin,
               kMissingHeight, TRUE);
  }
  InvalidateRect(Handle(), nullptr, TRUE);
}

// An etched line parts the toolbar's row from the page.
void BrowserForm::OnPaint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(Handle(), &paint);
  RECT client = {};
  GetClientRect(Handle(), &client);
  RECT line = {0, kBandHeight - 1, client.right, kBandHeight + 1};
  DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
  EndPaint(Handle(), &paint);
}

void BrowserForm::EnableButton(int id, bool enabled) {
  SendMessageW(toolbar_, TB_ENABLEBUTTON, id, MAKELPARAM(enabled ? TRUE : FALSE, 0));
}

void BrowserForm::Navigate(const std::string& url) { host_.Navigate(url); }

void BrowserForm::StopLoading() {
  status_.StopAnimation();
  status_.Show(false);
}

void BrowserForm::OnCommand(int id) {
  switch (id) {
    case IDC_BROWSER_CLOSE:
      PostToShell(SVSHELL_CLOSE_ACTIVE_PLUGIN);
      break;
    case IDC_BROWSER_BACK:
      host_.GoBack();
      break;
    case IDC_BROWSER_FORWARD:
      host_.GoForward();
      break;
    case IDC_BROWSER_REFRESH:
      Navigate(currentUrl_);
      break;
    case IDC_BROWSER_STOP:
      host_.Stop();
      StopLoading();
      break;
    case IDC_BROWSER_HOME:
      currentUrl_ = startUrl_;
      Navigate(startUrl_);
      break;
  }
}

bool BrowserForm::OnNotify(NMHDR* header, LRESULT* result) {
  if (!header || header->code != TTN_GETDISPINFOW) return false;
  // The hint of a tool button is its text.
  auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
  int id = static_cast<int>(header->idFrom);
  for (const ToolButton& button : kToolButtons) {
    if (button.id != id) continue;
    info->hinst = ui::ThisModule();
    info->lpszText = MAKEINTRESOURCEW(id);
    *result = 0;
    return true;
  }
  return false;
}

void BrowserForm::OnActivate(bool active) {
  if (active) {
    PostToShell(SVSHELL_PLUGIN_ACTIVATED);
    TakeKeyHook(this);
    host_.Focus();
  } else {
    ReleaseKeyHook(this);
  }
}

void BrowserForm::OnDestroy() {
  ReleaseKeyHook(this);
  host_.Stop();
  host_.Destroy();
  status_.StopAnimation();
  if (toolPictures_) {
    SendMessageW(toolbar_, TB_SETIMAGELIST, 0, 0);
    ImageList_Destroy(toolPictures_);
    toolPictures_ = nullptr;
  }
}

void BrowserForm::OnBeforeNavigate() {
  if (!beforeNavigateOn_) return;
  status_.Show(true);
  status_.StartAnimation();
  status_.SetLabel(topic_);
}

void BrowserForm::OnDownloadComplete() {
  std::string title = host_.DocumentTitle();
  if (!title.empty()) status_.SetLabel(title);
  StopLoading();
}

void BrowserForm::OnDocumentComplete(const std::string& url) {
  // The page writer's own documents are no address of the user's.
  if (writingPage_) return;
  if (writtenPageUrl_.empty() || url != writtenPageUrl_) currentUrl_ = url;
  if (IsBuiltInErrorPage(host_.DocumentUrl()))
    ShowConnectionError();
  StopLoading();
  host_.ClearBodyBorder();
}

void BrowserForm::OnHistoryState(bool back, bool enabled) {
  EnableButton(back ? IDC_BROWSER_BACK : IDC_BROWSER_FORWARD, enabled);
}

void BrowserForm::ShowConnectionError() { WritePage(ConnectionErrorPage(currentUrl_, startUrl_), false); }

void BrowserForm::WritePage(const std::string& html, bool wrap) {
  std::string page = wrap ? WrapPage(html) : html;
  host_.Stop();
  writingPage_ = true;
  bool written = host_.WriteDocument(page);
  writingPage_ = false;
  if (written) return;
  std::string path = WriteTemporaryPage(TemporaryFolder(), pluginKey_, page);
  if (path.empty()) return;
  writtenPageUrl_ = FileUrl(path);
  Navigate(writtenPageUrl_);
}

bool BrowserForm::OnMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) {
  switch (message) {
    case WM_CREATE:
      OnCreate();
      return false;  // the MDI child procedure has its own work to do
    case WM_SIZE:
      Layout();
      return false;  // DefMDIChildProc must see WM_SIZE too
    case WM_MDIACTIVATE:
      if (reinterpret_cast<HWND>(lparam) == Handle())
        OnActivate(true);
      else if (reinterpret_cast<HWND>(wparam) == Handle())
        OnActivate(false);
      return false;
    case WM_PAINT:
      OnPaint();
      *result = 0;
      return true;
    case WM_SETFOCUS:
      host_.Focus();
      return false;
    case WM_CLOSE:
      // The shell closes plugins: the window only asks it to.
      PostToShell(SVSHELL_CLOSE_ACTIVE_PLUGIN);
      *result = 0;
      return true;
    case WM_COMMAND:
      if (lparam && reinterpret_cast<HWND>(lparam) != toolbar_) return false;
      OnCommand(LOWORD(wparam));
      *result = 0;
      return true;
    case WM_NOTIFY:
      return OnNotify(reinterpret_cast<NMHDR*>(lparam), result);
    case WM_DESTROY:
      OnDestroy();
      return false;
  }
  return false;
}

}  // namespace svbrowser
