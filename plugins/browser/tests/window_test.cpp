// The browser window in a program that plays the shell: a
// "TSolvikaMainForm" frame with an MDI client. The test loads SVBrowser.svx,
// opens a window through RunPlugin and works its toolbar. Where the platform
// has no HTML engine (Wine without it) the window must still open with its
// toolbar and say so.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "SolvikaUtils.h"
#include "browser_form_ids.h"
#include "sv_shell.h"
#include "test_support.h"
#include "ui_kit.h"
#include "wide.h"

namespace {

constexpr char kKey[] = "*BrowserWindowTest";
std::vector<WPARAM> g_shellCommands;

LRESULT CALLBACK FrameProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  static HWND client = nullptr;
  if (message == WM_CREATE) {
    CLIENTCREATESTRUCT create = {};
    client = CreateWindowExW(0, L"MDICLIENT", nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 800, 560,
                             window, nullptr, GetModuleHandleW(nullptr), &create);
    return 0;
  }
  if (message == WM_SHELL_COMMAND) {
    g_shellCommands.push_back(wparam);
    return 0;
  }
  return DefFrameProcW(window, client, message, wparam, lparam);
}

bool Posted(WPARAM command) {
  for (WPARAM c : g_shellCommands)
    if (c == command) return true;
  return false;
}

void Pump(DWORD ms) {
  uikit::PumpUntil([] { return false; }, ms);
}

class BrowserWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    SetIniString(kKey, "Topic", "Test topic");
    SetIniString(kKey, "URL", "http://127.0.0.1:9/start.html");
    WNDCLASSW wc = {};
    wc.lpfnWndProc = FrameProcedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TSolvikaMainForm";
    RegisterClassW(&wc);
    g_shellCommands.clear();
    frame_ = CreateWindowExW(0, L"TSolvikaMainForm", L"Solvika", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 820, 600,
                             nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(frame_);
    plugin_ = LoadLibraryW(L"SVBrowser.svx");
    ASSERT_TRUE(plugin_);
    auto run = reinterpret_cast<HWND(SVAPI*)(const char*, HWND)>(GetProcAddress(plugin_, "RunPlugin"));
    ASSERT_TRUE(run);
    form_ = run(kKey, nullptr);
    ASSERT_TRUE(form_);
    // What the plugin host does with a new window.
    SetWindowTextW(form_, sv::Wide(sv::Ru(u8"Тестовая страница")).c_str());
    HWND client = FindWindowExW(frame_, nullptr, L"MDICLIENT", nullptr);
    SendMessageW(client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(form_), 0);
    toolbar_ = FindWindowExW(form_, nullptr, TOOLBARCLASSNAMEW, nullptr);
    ASSERT_TRUE(toolbar_);
    Pump(200);
  }

  void TearDown() override {
    if (form_ && IsWindow(form_)) DestroyWindow(form_);
    if (plugin_) FreeLibrary(plugin_);
    if (frame_) DestroyWindow(frame_);
    DeleteIniValue(kKey, "Topic");
    DeleteIniValue(kKey, "URL");
  }

  std::string ButtonText(int id) {
    wchar_t text[64] = {};
    if (SendMessageW(toolbar_, TB_GETBUTTONTEXTW, id, reinterpret_cast<LPARAM>(text)) < 0) return "<none>";
    return sv::Narrow(text);
  }
  std::string Hint(int id) {
    NMTTDISPINFOW info = {};
    info.hdr.hwndFrom = toolbar_;
    info.hdr.idFrom = id;
    info.hdr.code = TTN_GETDISPINFOW;
    SendMessageW(form_, WM_NOTIFY, id, reinterpret_cast<LPARAM>(&info));
    if (!IS_INTRESOURCE(info.lpszText)) return sv::Narrow(info.lpszText ? info.lpszText : L"");
    wchar_t text[64] = {};
    LoadStringW(info.hinst, static_cast<UINT>(reinterpret_cast<UINT_PTR>(info.lpszText)), text, 64);
    return sv::Narrow(text);
  }
  bool Enabled(int id) { return SendMessageW(toolbar_, TB_ISBUTTONENABLED, id, 0) != 0; }
  void Click(int id) {
    SendMessageW(form_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(toolbar_));
    Pump(100);
  }

  HWND frame_ = nullptr, form_ = nullptr, toolbar_ = nullptr;
  HMODULE plugin_ = nullptr;
};

TEST_F(BrowserWindow, OpensWithItsToolbarAndSaysWhenThereIsNoBrowserControl) {
  EXPECT_EQ(L"TSVBrowserForm", uikit::ClassOf(form_));
  EXPECT_EQ(GetParent(form_), FindWindowExW(frame_, nullptr, L"MDICLIENT", nullptr));
  const std::pair<int, const char*> buttons[] = {
      {IDC_BROWSER_BACK, u8"Назад"},      {IDC_BROWSER_FORWARD, u8"Вперед"},
      {IDC_BROWSER_REFRESH, u8"Обновить"}, {IDC_BROWSER_STOP, u8"Стоп"},
      {IDC_BROWSER_HOME, u8"На стартовую"}, {IDC_BROWSER_CLOSE, u8"Закрыть"}};
  for (const auto& [id, text] : buttons) {
    EXPECT_EQ(sv::Ru(text), ButtonText(id)) << id;
    EXPECT_EQ(sv::Ru(text), Hint(id)) << id;
  }
  EXPECT_TRUE(uikit::FindChild(form_, sv::Ru(u8"Идет загрузка...")));
  EXPECT_TRUE(Enabled(IDC_BROWSER_CLOSE));

  HWND missing = uikit::FindChild(form_, sv::Ru(u8"Компонент просмотра веб-страниц (Internet Explorer) на этом "
                                                u8"компьютере недоступен."));
  if (missing) {
    // Nothing to browse with: only "close" is of use, and the page's address shows.
    EXPECT_TRUE(IsWindowVisible(missing));
    EXPECT_TRUE(uikit::FindChild(form_, sv::Ru(u8"Страница: http://127.0.0.1:9/start.html")));
    for (int id : {IDC_BROWSER_BACK, IDC_BROWSER_FORWARD, IDC_BROWSER_REFRESH, IDC_BROWSER_STOP, IDC_BROWSER_HOME})
      EXPECT_FALSE(Enabled(id)) << id;
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(form_, IDC_BROWSER_STATUS)));
    // The buttons do nothing harmful without a control.
    for (int id : {IDC_BROWSER_BACK, IDC_BROWSER_FORWARD, IDC_BROWSER_REFRESH, IDC_BROWSER_STOP, IDC_BROWSER_HOME})
      Click(id);
    EXPECT_TRUE(IsWindow(form_));
  } else {
    // A platform with the control: the page loads with the topic showing.
    EXPECT_TRUE(uikit::FindChild(form_, "Test topic"));
  }

  std::string shot = sv::Narrow(_wgetenv(L"SV_BROWSER_SHOT") ? _wgetenv(L"SV_BROWSER_SHOT") : L"");
  if (!shot.empty()) {
    Pump(300);
    uikit::CaptureScreen(shot);
  }
}

TEST_F(BrowserWindow, ClosingAndActivationAreLeftToTheShell) {
  SendMessageW(form_, WM_CLOSE, 0, 0);
  Click(IDC_BROWSER_CLOSE);
  Pump(100);
  EXPECT_TRUE(IsWindow(form_));
  int closes = 0;
  for (WPARAM command : g_shellCommands) closes += command == SVSHELL_CLOSE_ACTIVE_PLUGIN;
  EXPECT_EQ(2, closes);
  g_shellCommands.clear();
  SendMessageW(form_, WM_MDIACTIVATE, 0, reinterpret_cast<LPARAM>(form_));
  Pump(100);
  EXPECT_TRUE(Posted(SVSHELL_PLUGIN_ACTIVATED));
  // Losing activation and being destroyed leave no hook behind to call into
  // a freed library: destroy the window and unload the plugin, then keys
  // still go through this thread's loop.
  SendMessageW(form_, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(form_), 0);
  DestroyWindow(form_);
  form_ = nullptr;
  FreeLibrary(plugin_);
  plugin_ = nullptr;
  PostMessageW(frame_, WM_KEYDOWN, VK_RETURN, 0);
  Pump(100);
}

}  // namespace
