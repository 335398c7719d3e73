// TovrinPlugins as the shell uses it: a main window of class TSolvikaMainForm
// with its MDI client, test plugins in the program folder, "Tovrin.ini"
// written by the test, boxes and the password window answered as a person
// would.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <thread>
#include <vector>

#include "main_window.h"
#include "sv_shell.h"
#include "svstring.h"
#include "test_support.h"
#include "ui_kit.h"
#include "wide.h"

extern "C" {
__declspec(dllimport) int32_t SVAPI AddPlugin(const char* key);
__declspec(dllimport) int32_t SVAPI CloseActivePlugin();
__declspec(dllimport) void SVAPI GetActivePlugin(SvStr* key);
__declspec(dllimport) HWND SVAPI GetActivePluginForm();
__declspec(dllimport) void SVAPI UpdateActivePlugin();
__declspec(dllimport) void SVAPI TNPluginsCreate();
__declspec(dllimport) void SVAPI TNPluginsCreate2(HWND parent);
__declspec(dllimport) void SVAPI TNPluginsFree();
__declspec(dllimport) void SVAPI PFRegisterModule(const char* module, const char* section);
__declspec(dllimport) uint8_t SVAPI PFStatus(uint8_t status);
__declspec(dllimport) SvBool SVAPI PFChPass(const char* password);
__declspec(dllimport) void SVAPI PFSetCStatus(const char* section, const char* item, SvBool flag);
}

namespace {

constexpr wchar_t kTabBarClass[] = L"TPluginsPageControl";
constexpr wchar_t kPluginFormClass[] = L"TTestPluginForm";
constexpr char kApplicationTitle[] = "Testbed";
constexpr char kGuid[] = "{6E1A3C52-0D7B-4C55-9E0F-3B1D2A4C5E6F}";

std::string R(const char* utf8) { return sv::Ru(utf8); }

std::vector<WPARAM> g_commands;
HWND g_client = nullptr;

LRESULT CALLBACK FrameProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_SHELL_COMMAND) {
    g_commands.push_back(wparam);
    return 0;
  }
  return DefFrameProcW(window, g_client, message, wparam, lparam);
}

void RegisterClassOnce(const wchar_t* name, WNDPROC procedure) {
  WNDCLASSW wc = {};
  if (GetClassInfoW(GetModuleHandleW(nullptr), name, &wc)) return;
  wc.lpfnWndProc = procedure;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
  wc.lpszClassName = name;
  RegisterClassW(&wc);
}

void Pump() {
  for (int round = 0; round < 5; ++round) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    Sleep(10);
  }
}

bool Loaded(const char* library) { return GetModuleHandleW(sv::Wide(library).c_str()) != nullptr; }

std::string ActiveKey() {
  return sv::TakeOut([](SvStr* out) { GetActivePlugin(out); });
}

// Moves a file aside for the test and puts it back afterwards.
class KeptAside {
 public:
  explicit KeptAside(std::string path) : path_(std::move(path)), aside_(path_ + ".kept-by-test") {
    MoveFileExW(sv::Wide(path_).c_str(), sv::Wide(aside_).c_str(), MOVEFILE_REPLACE_EXISTING);
  }
  ~KeptAside() {
    DeleteFileW(sv::Wide(path_).c_str());
    MoveFileExW(sv::Wide(aside_).c_str(), sv::Wide(path_).c_str(), MOVEFILE_REPLACE_EXISTING);
  }

 private:
  std::string path_, aside_;
};

// The sections of the test plugins, one per way a plugin can behave.
std::string TestSettings() {
  const std::string guid = std::string("GUID=") + kGuid + "\r\n";
  return R(u8"[*Alpha]\r\nLibrary=Alpha.svx\r\nName=Альфа\r\n"
           u8"[*Beta]\r\nLibrary=Beta.svx\r\n"
           u8"[*Upper]\r\nLibrary=Upper.OCX\r\nName=Upper\r\n"
           u8"[*NoWindow]\r\nLibrary=NoWindow.svx\r\n"
           u8"[*Crashing]\r\nLibrary=Crashing.svx\r\n"
           u8"[*NoEntry]\r\nLibrary=NoEntry.svx\r\nName=Без входа\r\n"
           u8"[*Missing]\r\nLibrary=Missing.svx\r\nName=Нет файла\r\n"
           u8"[*Denied]\r\nLibrary=Denied.ocx\r\nName=Контрол\r\n") +
         guid + "[*Accepted]\r\nLibrary=Accepted.ocx\r\n" + guid + "[*Absent]\r\nLibrary=Absent.ocx\r\n" + guid;
}

std::string WindowsFolder() {
  wchar_t folder[MAX_PATH] = {};
  GetWindowsDirectoryW(folder, MAX_PATH);
  return sv::Narrow(folder) + "\\";
}

class PluginHostExports : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = TestProgramFolder();
    ini_ = std::make_unique<KeptAside>(folder_ + "Tovrin.ini");
    access_ = std::make_unique<KeptAside>(WindowsFolder() + "qzwcontrol.ini");
    for (const char* log : {"Alpha.log", "Beta.log", "Upper.log", "NoWindow.log", "Crashing.log", "NoEntry.log",
                            "Denied.log", "Accepted.log"})
      DeleteFileW(sv::Wide(folder_ + log).c_str());
    ASSERT_TRUE(WriteFileBytes(folder_ + "Tovrin.ini", TestSettings()));
    RegisterClassOnce(L"TApplication", DefWindowProcW);
    RegisterClassOnce(ui::kMainWindowClass, FrameProcedure);
    application_ = CreateWindowW(L"TApplication", sv::Wide(kApplicationTitle).c_str(), WS_POPUP, 0, 0, 0, 0, nullptr,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
    // Hidden: under Wine on the virtual display every shown top-level window
    // costs seconds to map and unmap, and nothing here needs it on screen.
    main_ = CreateWindowW(ui::kMainWindowClass, L"Main", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 800, 600, nullptr,
                          nullptr, GetModuleHandleW(nullptr), nullptr);
    CLIENTCREATESTRUCT mdi = {};
    g_client = CreateWindowExW(WS_EX_CLIENTEDGE, L"MDICLIENT", nullptr, WS_CHILD | WS_CLIPCHILDREN | WS_VISIBLE, 0, 0,
                               780, 480, main_, nullptr, GetModuleHandleW(nullptr), &mdi);
    ASSERT_TRUE(main_ && g_client);
    g_commands.clear();
  }

  void TearDown() override {
    TNPluginsFree();
    DestroyWindow(main_);
    DestroyWindow(application_);
    g_client = nullptr;
    Pump();
    EXPECT_EQ(0, uikit::CloseLeftovers(GetCurrentProcessId(), L"#32770")) << "an unexpected box";
  }

  std::string Log(const char* name) { return ReadFileBytes(folder_ + name); }
  HWND TabBar(HWND parent) { return FindWindowExW(parent, nullptr, kTabBarClass, nullptr); }
  HWND Tabs(HWND bar) { return uikit::FindChild(bar, nullptr, WC_TABCONTROLW); }
  int TabCount(HWND bar) { return (int)SendMessageW(Tabs(bar), TCM_GETITEMCOUNT, 0, 0); }
  std::string TabText(HWND bar, int position) {
    wchar_t text[128] = {};
    TCITEMW item = {};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = 128;
    SendMessageW(Tabs(bar), TCM_GETITEMW, position, reinterpret_cast<LPARAM>(&item));
    return sv::Narrow(text);
  }
  int TabImage(HWND bar, int position) {
    TCITEMW item = {};
    item.mask = TCIF_IMAGE;
    SendMessageW(Tabs(bar), TCM_GETITEMW, position, reinterpret_cast<LPARAM>(&item));
    return item.iImage;
  }
  HWND PluginWindow(const char* caption) { return uikit::FindChild(g_client, caption, kPluginFormClass); }

  // Runs `call` while another thread waits for a box and presses OK; returns
  // the box seen (window null when none came).
  template <class F>
  uikit::MessageBoxSeen WithBoxAnswered(F call) {
    uikit::MessageBoxSeen box;
    std::thread user([&] {
      box = uikit::WaitMessageBox(GetCurrentProcessId(), 15000);
      if (box.window) uikit::Answer(box, IDOK);
    });
    call();
    user.join();
    return box;
  }

  std::string folder_;
  std::unique_ptr<KeptAside> ini_, access_;
  HWND application_ = nullptr;
  HWND main_ = nullptr;
};

TEST_F(PluginHostExports, OpenActivateAndCloseFollowTheMdiClient) {
  EXPECT_EQ(1, AddPlugin("*Alpha"));
  EXPECT_TRUE(Loaded("Alpha.svx"));
  HWND alpha = PluginWindow(R(u8"Альфа").c_str());
  ASSERT_TRUE(alpha) << "the window is captioned with the display name";
  EXPECT_EQ(g_client, GetParent(alpha));
  EXPECT_EQ("RunPlugin *Alpha with application\r\n", Log("Alpha.log"));

  HWND bar = TabBar(main_);
  ASSERT_TRUE(bar) << "the tab bar made on demand is a direct child of the main window";
  EXPECT_EQ(nullptr, uikit::FindChild(bar, "SOLVIKA")) << "no button on a bar made on demand";
  // It keeps to the bottom of the main window when that changes size.
  SetWindowPos(main_, nullptr, 0, 0, 640, 420, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT client = {}, placed = {};
  GetClientRect(main_, &client);
  GetWindowRect(bar, &placed);
  MapWindowPoints(nullptr, main_, reinterpret_cast<POINT*>(&placed), 2);
  EXPECT_EQ(client.bottom, placed.bottom);
  EXPECT_EQ(client.bottom - 28, placed.top);
  EXPECT_EQ(client.right, placed.right);
  EXPECT_EQ(1, TabCount(bar));
  EXPECT_EQ(R(u8"Альфа"), TabText(bar, 0));

  EXPECT_EQ(0, AddPlugin("*Alpha"));
  EXPECT_EQ(1, TabCount(bar));
  EXPECT_EQ("RunPlugin *Alpha with application\r\n", Log("Alpha.log")) << "never a second copy";

  EXPECT_EQ(1, AddPlugin("*Beta"));
  HWND beta = PluginWindow(R(u8"(Без имени)").c_str());
  ASSERT_TRUE(beta);
  EXPECT_EQ(2, TabCount(bar));
  EXPECT_EQ("*Beta", ActiveKey());
  EXPECT_EQ(beta, GetActivePluginForm());
  EXPECT_EQ(1, (int)SendMessageW(Tabs(bar), TCM_GETCURSEL, 0, 0));

  // The user activates the other window; the shell then asks for an update.
  SendMessageW(g_client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(alpha), 0);
  EXPECT_EQ("*Alpha", ActiveKey());
  EXPECT_EQ(alpha, GetActivePluginForm());
  UpdateActivePlugin();
  EXPECT_EQ(0, (int)SendMessageW(Tabs(bar), TCM_GETCURSEL, 0, 0));

  // A second AddPlugin brings the open one to the front.
  EXPECT_EQ(0, AddPlugin("*Beta"));
  EXPECT_EQ(beta, reinterpret_cast<HWND>(SendMessageW(g_client, WM_MDIGETACTIVE, 0, 0)));
  SendMessageW(g_client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(alpha), 0);

  int beta_image = TabImage(bar, 1);
  EXPECT_EQ(1, beta_image);
  EXPECT_EQ(1, CloseActivePlugin());
  EXPECT_FALSE(IsWindow(alpha));
  EXPECT_FALSE(Loaded("Alpha.svx")) << "the library goes with its tab";
  EXPECT_EQ(1, TabCount(bar));
  EXPECT_EQ(0, TabImage(bar, 0)) << "the remaining tab keeps its own icon";
  EXPECT_EQ("*Beta", ActiveKey());

  EXPECT_EQ(1, CloseActivePlugin());
  EXPECT_FALSE(IsWindow(beta));
  EXPECT_FALSE(Loaded("Beta.svx"));
  EXPECT_EQ(0, CloseActivePlugin());
  EXPECT_EQ("", ActiveKey());
  EXPECT_EQ(nullptr, GetActivePluginForm());
  EXPECT_FALSE(IsWindow(bar)) << "a bar made on demand goes with its last tab";
}

TEST_F(PluginHostExports, ClickingATabActivatesItsPlugin) {
  AddPlugin("*Alpha");
  AddPlugin("*Beta");
  HWND alpha = PluginWindow(R(u8"Альфа").c_str());
  HWND tabs = Tabs(TabBar(main_));
  RECT first = {};
  SendMessageW(tabs, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
  LPARAM at = MAKELPARAM((first.left + first.right) / 2, (first.top + first.bottom) / 2);
  SendMessageW(tabs, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(tabs, WM_LBUTTONUP, 0, at);
  Pump();
  EXPECT_EQ(alpha, reinterpret_cast<HWND>(SendMessageW(g_client, WM_MDIGETACTIVE, 0, 0)));
  EXPECT_EQ("*Alpha", ActiveKey());
}

TEST_F(PluginHostExports, ShellsTabBarKeepsItsButtonAndOutlivesItsTabs) {
  HWND panel = CreateWindowW(L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 500, 600, 27, main_, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
  TNPluginsCreate2(panel);
  HWND bar = TabBar(panel);
  ASSERT_TRUE(bar);
  RECT area = {};
  GetWindowRect(bar, &area);
  EXPECT_EQ(28, area.bottom - area.top);
  HWND button = uikit::FindChild(bar, "SOLVIKA", L"Button");
  ASSERT_TRUE(button);
  SendMessageW(button, BM_CLICK, 0, 0);
  Pump();
  EXPECT_NE(g_commands.end(), std::find(g_commands.begin(), g_commands.end(), SVSHELL_PLUGINS_MENU))
      << "the button asks the main window for the plugins menu";

  TNPluginsCreate();
  EXPECT_EQ(nullptr, TabBar(main_)) << "a second create makes no second bar";

  EXPECT_EQ(1, AddPlugin("*Alpha"));
  EXPECT_EQ(1, TabCount(bar));
  EXPECT_EQ(nullptr, TabBar(main_));
  EXPECT_EQ(1, CloseActivePlugin());
  EXPECT_TRUE(IsWindow(bar)) << "the shell's bar stays, empty";
  EXPECT_EQ(0, TabCount(bar));
  EXPECT_TRUE(uikit::FindChild(bar, "SOLVIKA", L"Button"));

  TNPluginsFree();
  EXPECT_FALSE(IsWindow(bar));
  TNPluginsCreate();
  EXPECT_TRUE(TabBar(main_)) << "TNPluginsCreate puts the bar on the main window";
}

TEST_F(PluginHostExports, FreeWithTabsOpenDestroysWindowsAndFreesLibraries) {
  TNPluginsCreate();
  AddPlugin("*Alpha");
  AddPlugin("*Beta");
  HWND alpha = PluginWindow(R(u8"Альфа").c_str());
  HWND bar = TabBar(main_);
  ASSERT_TRUE(alpha && bar);
  TNPluginsFree();
  EXPECT_FALSE(IsWindow(alpha));
  EXPECT_FALSE(IsWindow(bar));
  EXPECT_FALSE(Loaded("Alpha.svx"));
  EXPECT_FALSE(Loaded("Beta.svx"));
  EXPECT_NE(std::string::npos, Log("Alpha.log").find("Destroy")) << "the window went before its library";
  EXPECT_EQ(1, AddPlugin("*Alpha")) << "opens again after a free";
}

TEST_F(PluginHostExports, ReportsItsModuleVersion) {
  using VersionEntry = int32_t(SVAPI*)();
  auto version =
      reinterpret_cast<VersionEntry>(GetProcAddress(GetModuleHandleW(L"TovrinPlugins.dll"), "GetModuleVersion"));
  ASSERT_TRUE(version);
  EXPECT_EQ(11, version());
}

TEST_F(PluginHostExports, NoWindowFreesTheLibraryAtOnceAndLeavesNoTab) {
  EXPECT_EQ(0, AddPlugin("*NoWindow")) << "nothing opened";
  EXPECT_EQ("RunPlugin *NoWindow\r\n", Log("NoWindow.log"));
  EXPECT_FALSE(Loaded("NoWindow.svx"));
  EXPECT_EQ(nullptr, TabBar(main_));
  EXPECT_EQ("", ActiveKey());

  // A crash inside RunPlugin counts as no window, and the host lives on.
  EXPECT_EQ(0, AddPlugin("*Crashing"));
  EXPECT_EQ("RunPlugin\r\n", Log("Crashing.log"));
  EXPECT_FALSE(Loaded("Crashing.svx"));
  EXPECT_EQ(nullptr, uikit::FindChild(g_client, nullptr, L"TCrashingForm")) << "its window went before its library did";
}

TEST_F(PluginHostExports, BrokenPluginsShowTheirBoxAndOpenNothing) {
  int32_t result = 0;
  uikit::MessageBoxSeen box = WithBoxAnswered([&] { result = AddPlugin("*Missing"); });
  EXPECT_EQ(0, result) << "a failure is not reported as an open plugin";
  EXPECT_EQ(kApplicationTitle, box.caption);
  EXPECT_EQ(R(u8"Плагин \"Нет файла\" не может быть запучен!\rНевозможно загрузить файл: Missing.svx"), box.text);

  box = WithBoxAnswered([&] { result = AddPlugin("*NoEntry"); });
  EXPECT_EQ(0, result);
  EXPECT_EQ(R(u8"Плагин \"Без входа\" не может быть запучен!\rНе найдена точка входа в файле: NoEntry.svx"), box.text);
  EXPECT_FALSE(Loaded("NoEntry.svx")) << "unloaded again";

  box = WithBoxAnswered([&] { result = AddPlugin("*Absent"); });
  EXPECT_EQ(R(u8"Невозможно запустить плагин!\rНе найдена библиотека: Absent.ocx"), box.text);

  box = WithBoxAnswered([&] { result = AddPlugin("*Denied"); });
  EXPECT_EQ(0, result);
  EXPECT_EQ(R(u8"Невозможно запустить плагин!\rВозможно у Вас нет прав регистрации ActiveX компонентов"), box.text);
  EXPECT_FALSE(Loaded("Denied.ocx"));
  EXPECT_EQ("DllRegisterServer\r\nDllUnregisterServer\r\n", Log("Denied.log"));
  EXPECT_EQ(nullptr, uikit::FindChild(g_client, nullptr, L"TForm1")) << "the container went too";

  // Registered, but no control of that class can be made: silently nothing.
  EXPECT_EQ(0, AddPlugin("*Accepted"));
  EXPECT_EQ("DllRegisterServer\r\nDllUnregisterServer\r\n", Log("Accepted.log"));
  EXPECT_FALSE(Loaded("Accepted.ocx"));
  EXPECT_EQ(nullptr, uikit::FindChild(g_client, nullptr, L"TForm1"));

  EXPECT_EQ(nullptr, TabBar(main_));
  EXPECT_EQ(0, AddPlugin("*Nothing")) << "a key without a section opens nothing, silently";
}

TEST_F(PluginHostExports, UpperCaseOcxIsANativePlugin) {
  EXPECT_EQ(1, AddPlugin("*Upper"));
  EXPECT_TRUE(PluginWindow("Upper"));
  EXPECT_TRUE(Loaded("Upper.OCX"));
}

TEST_F(PluginHostExports, ProtectedPluginAsksForThePassword) {
  PFRegisterModule("Plugins", "Tovrin.ini");
  PFChPass("right");
  PFStatus(1);
  PFSetCStatus("Tovrin.ini", "*Alpha", 1);

  auto add_answering = [&](const char* password) {
    int32_t result = -1;
    std::thread user([&] {
      HWND form = uikit::WaitTopWindow(L"TPasswordForm", nullptr, GetCurrentProcessId(), 10000);
      if (!form) return;
      HWND edit = uikit::FindChild(form, nullptr, L"Edit");
      if (password) uikit::SetText(edit, password);
      uikit::PressKey(edit, password ? VK_RETURN : VK_ESCAPE);
    });
    result = AddPlugin("*Alpha");
    user.join();
    return result;
  };

  EXPECT_EQ(0, add_answering(nullptr)) << "cancelled";
  EXPECT_FALSE(Loaded("Alpha.svx"));
  EXPECT_EQ(1, add_answering("right"));
  EXPECT_TRUE(PluginWindow(R(u8"Альфа").c_str()));
  EXPECT_EQ(1, AddPlugin("*Beta")) << "an unprotected plugin asks nothing";
}

}  // namespace
