// The road a user takes to a new plugin, with the real programs: the
// catalogue lists a plugin as not installed; installing it creates a download
// job; the download manager fetches it and packs the update package; the
// plugin is marked for the restart and the shell asks for it; answered Yes,
// the program restarts with "-closeprev", the package is applied at start,
// and the new copy lists the plugin and opens it.
//
// road.sh prepares the program folder (SV_ROAD_PROGRAM) and the local
// server's demo site (port SV_NET_PORT) from the build.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "file_io.h"
#include "process_kit.h"
#include "sv_shell.h"
#include "test_support.h"
#include "ui_kit.h"
#include "wide.h"

namespace {

constexpr DWORD kStartWaitMs = 120000;  // a cold start under emulation is slow
constexpr DWORD kStepWaitMs = 60000;
constexpr DWORD kPollMs = 200;
constexpr LPARAM kOpenCatalogueCommand = 10;
constexpr UINT kFirstPluginMenuId = 3000;
constexpr int kCatalogueColumns = 4;
constexpr int kStatusColumn = 3;

std::string R(const char* utf8) { return sv::Ru(utf8); }

std::string Env(const wchar_t* name) {
  wchar_t value[MAX_PATH] = {};
  DWORD n = GetEnvironmentVariableW(name, value, MAX_PATH);
  return n && n < MAX_PATH ? sv::Narrow(value) : std::string();
}

template <class Condition>
bool WaitFor(Condition condition, DWORD ms = kStepWaitMs) {
  for (DWORD waited = 0; waited < ms; waited += kPollMs) {
    if (condition()) return true;
    Sleep(kPollMs);
  }
  return condition();
}

struct ChildSearch {
  const wchar_t* cls;
  std::string text;
  HWND found = nullptr;
};

BOOL CALLBACK MatchChild(HWND window, LPARAM param) {
  auto* s = reinterpret_cast<ChildSearch*>(param);
  if (s->cls && uikit::ClassOf(window) != s->cls) return TRUE;
  if (!s->text.empty() && uikit::Text(window) != s->text) return TRUE;
  s->found = window;
  return FALSE;
}

// The first descendant of `parent` of class `cls` (null: any) with `text`
// (empty: any).
HWND Descendant(HWND parent, const wchar_t* cls, const std::string& text = std::string()) {
  ChildSearch s{cls, text};
  EnumChildWindows(parent, MatchChild, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

// The row of the list whose first column is `name`, or -1.
int RowOf(const std::vector<std::vector<std::string>>& rows, const std::string& name) {
  for (size_t i = 0; i < rows.size(); ++i)
    if (!rows[i].empty() && rows[i][0] == name) return static_cast<int>(i);
  return -1;
}

std::string StatusOf(HWND list, const std::string& name) {
  auto rows = uikit::ListViewRows(list, kCatalogueColumns);
  int row = RowOf(rows, name);
  return row < 0 ? std::string() : rows[row][kStatusColumn];
}

// Every row as "a | b | c | d" lines, for failure messages.
std::string RowsText(HWND list) {
  std::string text;
  for (auto& row : uikit::ListViewRows(list, kCatalogueColumns)) {
    for (auto& cell : row) text += cell + " | ";
    text += "\n";
  }
  return text;
}

// The main window of a copy of the program other than `notOf` (0: any).
HWND MainWindowOfAnotherCopy(DWORD notOf) {
  HWND found = nullptr;
  WaitFor(
      [&] {
        for (HWND w = FindWindowExW(nullptr, nullptr, L"TSolvikaMainForm", nullptr); w;
             w = FindWindowExW(nullptr, w, L"TSolvikaMainForm", nullptr)) {
          DWORD pid = 0;
          GetWindowThreadProcessId(w, &pid);
          if (pid != notOf && IsWindowVisible(w)) return (found = w) != nullptr;
        }
        return false;
      },
      kStartWaitMs);
  return found;
}

DWORD ProcessOf(HWND window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  return pid;
}

void EndProcess(DWORD pid) {
  if (!pid) return;
  uikit::CloseLeftovers(pid, L"#32770");
  sv::Handle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid));
  if (!process) return;
  TerminateProcess(process.Get(), 1);
  WaitForSingleObject(process.Get(), kStepWaitMs);
}

void Shoot(const std::string& name) {
  std::string folder = Env(L"SV_ROAD_SHOTS");
  if (!folder.empty()) uikit::CaptureScreen(folder + "/" + name + ".png");
}

class CatalogueRoad : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = Env(L"SV_ROAD_PROGRAM");
    port_ = Env(L"SV_NET_PORT");
    ASSERT_FALSE(folder_.empty() || port_.empty()) << "run through road.sh";
  }
  void TearDown() override {
    EndProcess(restarted_);
    if (first_.Running()) {
      uikit::CloseLeftovers(first_.Id(), L"#32770");
      first_.Kill();
    }
  }
  std::string Log() const { return ReadFileBytes(folder_ + "log.txt"); }

  std::string folder_, port_;
  uikit::RunningProcess first_;
  DWORD restarted_ = 0;
};

TEST_F(CatalogueRoad, InstallFromTheCatalogueRestartAndOpen) {
  const std::string plugin = R(u8"Пробный плагин Б");
  ASSERT_TRUE(first_.Start(folder_ + "Solvika.exe", "-tnnetopendebugconsole -tnnetdefaulthost:127.0.0.1:" + port_,
                           folder_, folder_ + "log.txt"));
  HWND main = uikit::WaitTopWindow(L"TSolvikaMainForm", nullptr, first_.Id(), kStartWaitMs);
  ASSERT_NE(nullptr, main) << Log();

  // "Обновления" - "Проверить обновления" opens the catalogue.
  PostMessageW(main, WM_SHELL_COMMAND, SVSHELL_RUN_COMMAND, kOpenCatalogueCommand);
  HWND catalogue = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (catalogue = Descendant(main, nullptr, R(u8"Мастер обновлений"))) != nullptr; }))
      << Log();
  HWND list = Descendant(catalogue, WC_LISTVIEWW);
  ASSERT_NE(nullptr, list);
  ASSERT_TRUE(WaitFor([&] { return StatusOf(list, plugin) == R(u8"Не установлен"); })) << RowsText(list);
  EXPECT_EQ(R(u8"Установлен"), StatusOf(list, R(u8"Пробный плагин А")));
  EXPECT_EQ(R(u8"Старая программа"), StatusOf(list, R(u8"Пробный плагин В")));
  Shoot("road-catalogue");

  // Choose the plugin and install it; the chooser asks how to download.
  ASSERT_TRUE(uikit::SelectListViewRow(list, RowOf(uikit::ListViewRows(list), plugin)));
  HWND install = nullptr;
  ASSERT_TRUE(WaitFor([&] {
    install = Descendant(catalogue, L"Button", R(u8"Установить"));
    return install && IsWindowEnabled(install);
  }));
  ASSERT_TRUE(uikit::Press(catalogue, R(u8"Установить")));
  HWND chooser = uikit::WaitTopWindow(L"TSVDNMQueryForm", nullptr, first_.Id(), kStepWaitMs);
  ASSERT_NE(nullptr, chooser) << Log();
  ASSERT_TRUE(uikit::Press(chooser, R(u8"Загрузить в фоне")));

  // The manager fetches and packs it; the shell asks for the restart.
  uikit::MessageBoxSeen question = uikit::WaitMessageBox(first_.Id(), kStepWaitMs);
  ASSERT_NE(nullptr, question.window) << Log();
  EXPECT_NE(std::string::npos, question.text.find(R(u8"Перезагрузить программу сейчас?"))) << question.text;
  EXPECT_NE(std::string::npos, ReadFileBytes(folder_ + "PatchKeeper.upd").find("DemoB=1"));
  EXPECT_FALSE(sv::FileExists(folder_ + "DemoB.svx")) << "the plugin waits in its package until the restart";
  EXPECT_TRUE(WaitFor([&] { return StatusOf(list, plugin) == R(u8"Перезагрузите программу"); }));
  Shoot("road-restart-question");
  ASSERT_TRUE(uikit::Answer(question, IDYES));

  // The new copy closes this one, applies the package and lists the plugin.
  ASSERT_TRUE(first_.WaitExit(kStartWaitMs)) << Log();
  HWND restartedMain = MainWindowOfAnotherCopy(first_.Id());
  ASSERT_NE(nullptr, restartedMain);
  restarted_ = ProcessOf(restartedMain);
  ASSERT_TRUE(WaitFor([&] { return sv::FileExists(folder_ + "DemoB.svx"); }));
  std::string settings;
  ASSERT_TRUE(WaitFor([&] {
    settings = ReadFileBytes(folder_ + "Tovrin.ini");
    return settings.find("Library=DemoB.svx") != std::string::npos;
  })) << settings;
  HWND panel = FindWindowExW(restartedMain, nullptr, L"TSVContentsPanel", nullptr);
  HWND contents = panel ? FindWindowExW(panel, nullptr, WC_LISTVIEWW, nullptr) : nullptr;
  ASSERT_NE(nullptr, contents);
  int listed = -1;
  ASSERT_TRUE(WaitFor([&] { return (listed = RowOf(uikit::ListViewRows(contents), plugin)) >= 0; }));

  // Opened from its menu item (numbered as the contents rows), its window
  // appears in the shell.
  PostMessageW(restartedMain, WM_COMMAND, kFirstPluginMenuId + listed, 0);
  EXPECT_TRUE(WaitFor([&] { return Descendant(restartedMain, L"TTestPluginForm") != nullptr; }));
  Shoot("road-plugin-open");

  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(restartedMain, WM_SHELL_COMMAND, SVSHELL_EXIT, 0, SMTO_NORMAL, kStepWaitMs, &ignored);
}

}  // namespace
