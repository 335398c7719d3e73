// The catalogue window as a person meets it. The test program copies itself
// with the libraries into a scratch program folder and runs its "Catalogue"
// tests there as a child, with the local server as the maker's server; the
// child plays the shell (a "TSolvikaMainForm" frame with an MDI client),
// loads PatchKeeper.svx and opens the window through RunPlugin.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <future>
#include <string>
#include <utility>
#include <vector>

#include "SolvikaDNM.h"
#include "SolvikaNet.h"
#include "SolvikaUtils.h"
#include "catalogue_form_ids.h"
#include "dnm_test_support.h"
#include "file_io.h"
#include "job_text.h"
#include "net_test_support.h"
#include "sv_shell.h"
#include "svstring.h"
#include "test_support.h"
#include "ui_kit.h"
#include "wide.h"

namespace {

constexpr DWORD kLoadWaitMs = 20000;
constexpr uint16_t kProgramVersion = 418;
constexpr int kColumns = 4;
constexpr int kFixedPictures = 6, kFallbackPicture = 5;

const std::vector<std::string> kLibraries = {"PatchKeeper.svx", "SolvikaNet.dll", "SolvikaUtils.dll",
                                             "SolvikaDNM.dll", "SolvikaPU.dll", "UnzDll.dll", "ZipDll.dll"};

std::vector<std::pair<WPARAM, LPARAM>> g_shellCommands;  // what the plugin posted to the "shell"

LRESULT CALLBACK FrameProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  static HWND client = nullptr;
  if (message == WM_CREATE) {
    CLIENTCREATESTRUCT create = {};
    client = CreateWindowExW(0, L"MDICLIENT", nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 900, 640,
                             window, nullptr, GetModuleHandleW(nullptr), &create);
    return 0;
  }
  if (message == WM_SHELL_COMMAND) {
    g_shellCommands.emplace_back(wparam, lparam);
    return 0;
  }
  return DefFrameProcW(window, client, message, wparam, lparam);
}

std::string WindowsPath(const std::string& unixPath) {
  std::string path = "Z:" + unixPath;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

// The catalogue the server offers: two directories, six plugins (one in no
// listed directory), each meeting this machine in another state.
std::string Readlist() {
  return sv::Ru(
      u8"DIRLIST\r\n"
      u8"\t1\tПолезные\r\n"
      u8"\t2\tархив\r\n"
      u8"PLUGINLIST\r\n"
      u8"\tГамма\tHave\tHave.svx\t11\tПервая строка//вторая строка\t105\t\t1\t01.02.2026\t400\r\n"
      u8"\tБета\tFresh\tFresh.svx/+x.dll\t12\tНовый\t411\t\t1\t02.02.2026\t400\r\n"
      u8"\tАльфа\tNewer\tNewer.svx@9\t13\tСвежее\t200\t\t1\t03.02.2026\t418\r\n"
      u8"\tДельта\tWaiting\tWaiting.svx\t14\t\t300\t\t1\t04.02.2026\t0\r\n"
      u8"\tОмега\tFuture\tFuture.svx\t15\t\t500\t\t2\t05.02.2026\t419\r\n"
      u8"\tНичей\tLost\tLost.svx\t16\t\t100\t\t7\t06.02.2026\t0\r\n"
      u8"END\r\n");
}

void PutReadlist() { nettest::PutServerFile("client/plugins.php.readlist3.reply", Readlist()); }

// The parent: the child tests run in a program folder of their own.
TEST(CatalogueWindow, RunsInAProgramFolderOfItsOwn) {
  if (InChild()) GTEST_SKIP();
  REQUIRE_SERVER();
  ScratchDir dir("pk");
  std::string exe = CopyTestProgram(dir.Path(), kLibraries);
  ChildResult r = RunChild(exe, "--gtest_filter=Catalogue.* -tnnetdefaulthost:" + nettest::ServerHost(), dir.Path(),
                           240000);
  EXPECT_EQ(0u, r.exitCode) << r.output;
  EXPECT_NE(std::string::npos, r.output.find("[  PASSED  ]")) << r.output;
}

class Catalogue : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!InChild()) return;
    SolvikaNetStart(nullptr, SVNET_VERSION_JOBS_ONLY);
  }

  void SetUp() override {
    if (!InChild()) GTEST_SKIP() << "runs as a child in a program folder of its own";
    const std::string folder = sv::ProgramFolder();
    dnmtest::ResetJobFolder();
    ASSERT_TRUE(WriteFileBytes(folder + "Tovrin.ini",
                               "[*Have]\r\nLibrary=Have.svx\r\n[*Newer]\r\nLibrary=Newer.svx\r\n"
                               "[*Waiting]\r\nLibrary=Waiting.svx\r\n[*Fresh]\r\nLibrary=\r\n"));
    ASSERT_TRUE(WriteFileBytes(folder + "Have.svx", "have"));
    ASSERT_TRUE(WriteFileBytes(folder + "Newer.svx", "old!"));
    ASSERT_TRUE(WriteFileBytes(folder + "Waiting.svx", "wait"));
    ASSERT_TRUE(WriteFileBytes(folder + "PatchKeeper.upd", "[PatchKeeper]\r\nWaiting=1\r\n"));
    ASSERT_TRUE(CopyFileW(sv::Wide(WindowsPath(PK_TEST_ICON)).c_str(), sv::Wide(folder + "Have.ico").c_str(), FALSE));
    ASSERT_TRUE(WriteFileBytes(folder + "Newer.ico", "not an icon"));
    PutReadlist();
    // The manager asks for the sizes even while its queue is held: files it
    // finds keep their jobs pending.
    nettest::PutServerFile("client/plugins/Fresh.svx.zip", "fresh");
    nettest::PutServerFile("client/plugins/Newer.svx.zip", "newer");

    WNDCLASSW wc = {};
    wc.lpfnWndProc = FrameProcedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TSolvikaMainForm";
    RegisterClassW(&wc);
    g_shellCommands.clear();
    frame_ = CreateWindowExW(0, L"TSolvikaMainForm", L"Solvika", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 920, 680,
                             nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(frame_);
    SetApplParam(frame_, kProgramVersion);
    SolvikaDNMStart();
    SVDNMSetParams(SVDNM_SET_ENABLED, 0);  // the manager holds every job it is given

    plugin_ = LoadLibraryW(L"PatchKeeper.svx");
    ASSERT_TRUE(plugin_);
    auto run = reinterpret_cast<HWND(SVAPI*)(const char*, HWND)>(GetProcAddress(plugin_, "RunPlugin"));
    auto version = reinterpret_cast<int32_t(SVAPI*)()>(GetProcAddress(plugin_, "GetModuleVersion"));
    refresh_ = reinterpret_cast<void(SVAPI*)(HWND)>(GetProcAddress(plugin_, "PatchKeeperRefresh"));
    download_ = reinterpret_cast<void(SVAPI*)(HWND, const char*)>(GetProcAddress(plugin_, "PatchKeeperDownload"));
    ASSERT_TRUE(run && version && refresh_ && download_);
    EXPECT_EQ(411, version());
    form_ = run("PatchKeeper", frame_);
    ASSERT_TRUE(form_);
    ShowWindow(form_, SW_MAXIMIZE);
    list_ = FindWindowExW(form_, nullptr, WC_LISTVIEWW, nullptr);
    ASSERT_TRUE(list_);
    ASSERT_TRUE(WaitLoaded());
    ASSERT_EQ(7u, Rows().size());
  }

  void TearDown() override {
    if (form_ && IsWindow(form_)) DestroyWindow(form_);
    if (plugin_) FreeLibrary(plugin_);
    if (frame_) DestroyWindow(frame_);
    if (InChild()) SolvikaDNMStop();
  }

  std::vector<std::vector<std::string>> Rows() { return uikit::ListViewRows(list_, kColumns); }
  std::string Status(int row) { return Rows().at(row).at(3); }
  // A load has ended: the refresh button is enabled again.
  bool WaitLoaded() {
    return uikit::PumpUntil([&] { return IsWindowEnabled(Button(u8"Обновить список")) != FALSE; }, kLoadWaitMs);
  }
  HWND Button(const char* utf8) { return uikit::FindChild(form_, sv::Ru(utf8), L"Button"); }
  HWND ActionButton() { return GetDlgItem(form_, IDC_CATALOGUE_ACTION); }
  std::string Memo() { return uikit::Text(GetDlgItem(form_, IDC_CATALOGUE_MEMO)); }
  void Select(int row) {
    LVITEMW item = {};
    item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list_, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
  }
  int SelectedRow() { return (int)SendMessageW(list_, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED); }
  int Image(int row) {
    LVITEMW item = {};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    SendMessageW(list_, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return item.iImage;
  }
  void Pump(DWORD ms) { uikit::PumpUntil([] { return false; }, ms); }

  // The context menu `open` brings up, read and closed from another thread:
  // its items (caption, enabled) and its top left corner on the screen.
  struct MenuSeen {
    std::vector<std::pair<std::string, bool>> items;
    POINT at = {-1, -1};
  };
  MenuSeen OpenMenu(std::function<void()> open) {
    auto seen = std::async(std::launch::async, [] {
      MenuSeen menu;
      for (DWORD waited = 0; waited < kLoadWaitMs; waited += 50, Sleep(50)) {
        HWND popup = uikit::FindTopWindow(L"#32768", nullptr, GetCurrentProcessId());
        if (!popup || !IsWindowVisible(popup)) continue;
        HMENU items = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0));
        for (int k = 0; k < GetMenuItemCount(items); ++k) {
          wchar_t text[128] = {};
          if (GetMenuStringW(items, k, text, 128, MF_BYPOSITION) <= 0) continue;  // the separator
          menu.items.emplace_back(sv::Narrow(text), !(GetMenuState(items, k, MF_BYPOSITION) & MF_GRAYED));
        }
        RECT r = {};
        GetWindowRect(popup, &r);
        menu.at = {r.left, r.top};
        PostMessageW(popup, WM_KEYDOWN, VK_ESCAPE, 0);
        return menu;
      }
      return menu;
    });
    open();
    uikit::PumpUntil([&] { return seen.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
                     kLoadWaitMs);
    return seen.get();
  }
  RECT RowRect(int row) {
    RECT r = {};
    r.left = LVIR_BOUNDS;
    SendMessageW(list_, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
    return r;
  }

  // Answers the next message box of this process from another thread while
  // this one runs the window's messages; what the box showed.
  uikit::MessageBoxSeen AnswerBox(int button, std::function<void()> open) {
    auto seen = std::async(std::launch::async, [button] {
      uikit::MessageBoxSeen box = uikit::WaitMessageBox(GetCurrentProcessId(), kLoadWaitMs);
      if (box.window) uikit::Answer(box, button);
      return box;
    });
    open();
    uikit::PumpUntil([&] { return seen.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
                     kLoadWaitMs);
    return seen.get();
  }

  HWND frame_ = nullptr, form_ = nullptr, list_ = nullptr;
  HMODULE plugin_ = nullptr;
  void(SVAPI* refresh_)(HWND) = nullptr;
  void(SVAPI* download_)(HWND, const char*) = nullptr;
};

TEST_F(Catalogue, ShowsEachPluginsStatusUnderItsDirectory) {
  EXPECT_EQ(std::wstring(L"TPatchKeeperForm"), uikit::ClassOf(form_));
  EXPECT_EQ(sv::Ru(u8"Мастер обновлений"), uikit::Text(form_));
  EXPECT_TRUE(uikit::FindChild(form_, sv::Ru(u8"Мастер обновлений"), L"Static"));
  EXPECT_TRUE(Button(u8"Закрыть"));
  using Row = std::vector<std::string>;
  const std::vector<Row> expected = {
      {sv::Ru(u8"    АРХИВ"), "", "", ""},
      {sv::Ru(u8"Омега"), "5.00", "05.02.2026", sv::Ru(u8"Старая программа")},
      {sv::Ru(u8"    ПОЛЕЗНЫЕ"), "", "", ""},
      {sv::Ru(u8"Альфа"), "2.00", "03.02.2026", sv::Ru(u8"Не обновлен")},
      {sv::Ru(u8"Бета"), "4.11", "02.02.2026", sv::Ru(u8"Не установлен")},
      {sv::Ru(u8"Гамма"), "1.05", "01.02.2026", sv::Ru(u8"Установлен")},
      {sv::Ru(u8"Дельта"), "3.00", "04.02.2026", sv::Ru(u8"Перезагрузите программу")},
  };
  EXPECT_EQ(expected, Rows());
  EXPECT_EQ(0, Image(0));
  EXPECT_GE(Image(5), kFixedPictures) << "Have.ico";
  EXPECT_EQ(kFallbackPicture, Image(3)) << "a damaged icon file";
  EXPECT_EQ(kFallbackPicture, Image(4)) << "no icon file";

  // The action follows the selected plugin.
  EXPECT_FALSE(IsWindowEnabled(ActionButton()));
  Select(5);
  EXPECT_EQ(sv::Ru(u8"Первая строка\r\nвторая строка"), Memo());
  EXPECT_FALSE(IsWindowEnabled(ActionButton()));
  for (auto [row, caption] : std::vector<std::pair<int, const char*>>{
           {3, u8"Обновить"}, {4, u8"Установить"}, {6, u8"Инсталл"}, {1, u8"Инфо"}}) {
    Select(row);
    EXPECT_EQ(sv::Ru(caption), uikit::Text(ActionButton())) << row;
    EXPECT_TRUE(IsWindowEnabled(ActionButton())) << row;
  }
  // A directory heading is not selected: it clears the description and the action.
  Select(2);
  EXPECT_EQ("", Memo());
  EXPECT_FALSE(IsWindowEnabled(ActionButton()));
  EXPECT_EQ(-1, SelectedRow());

  Select(4);
  SetFocus(list_);
  Pump(300);
  CreateDirectoryW(sv::Wide(WindowsPath(PK_SCREENSHOT).substr(0, WindowsPath(PK_SCREENSHOT).rfind('\\'))).c_str(),
                   nullptr);
  EXPECT_TRUE(uikit::CaptureScreen(PK_SCREENSHOT));
}

TEST_F(Catalogue, OldProgramAndRestartAreExplained) {
  Select(1);  // Омега needs version 419
  uikit::MessageBoxSeen box = AnswerBox(IDOK, [&] { ASSERT_TRUE(uikit::Press(form_, sv::Ru(u8"Инфо"))); });
  EXPECT_EQ(sv::Ru(u8"Мастер обновлений"), box.caption);
  EXPECT_EQ(sv::Ru(u8"Для установки плагина \"Омега\"\rтребуется обновить программу \"Сольвика\".\r\r"
                   u8"Программу \"Сольвика\" можно обновить в начале этого списка.\r\r"
                   u8"Запустите обновление программы, дождитесь его завершения,\r"
                   u8"перезапустите программу, и тогда Вы сможете установить \"Омега\"."),
            box.text);

  Select(6);  // Дельта waits for a restart; "No" leaves the program running
  box = AnswerBox(IDNO, [&] { PostMessageW(form_, WM_COMMAND, IDM_CATALOGUE_ACTION, 0); });
  EXPECT_EQ(sv::Ru(u8"Для завершения установки плагина \"Дельта\"\rтребуется перезапустить программу!\r\r"
                   u8"Перезапустить программу сейчас?"),
            box.text);
  EXPECT_TRUE(dnmtest::Jobs().empty());
}

TEST_F(Catalogue, InstallHandsTheDownloadToTheManagerWithoutPlusEntries) {
  Select(4);  // Бета
  ASSERT_TRUE(uikit::Press(form_, sv::Ru(u8"Установить")));
  ASSERT_TRUE(uikit::PumpUntil([&] { return Status(4) == sv::Ru(u8"Идет загрузка..."); }, kLoadWaitMs));
  EXPECT_TRUE(WaitLoaded());
  EXPECT_EQ(4, SelectedRow()) << "the selection stays with its plugin";
  EXPECT_FALSE(IsWindowEnabled(ActionButton()));

  const std::vector<dnmtest::JobLine> jobs = dnmtest::Jobs();
  ASSERT_EQ(1u, jobs.size());
  EXPECT_EQ(sv::Ru(u8"Плагин: Бета"), jobs[0].title);
  svdnm::JobRecord job;
  ASSERT_TRUE(svdnm::ParseJobText(dnmtest::JobText(jobs[0].code), job));
  EXPECT_EQ("Fresh", job.iParam);
  EXPECT_EQ(1, job.iType);
  EXPECT_EQ("Fresh.svx.zip/", job.download.files) << "+x.dll is never fetched";
  EXPECT_EQ("client/plugins/", job.download.path);
  EXPECT_EQ(":", job.download.localDir);
  EXPECT_EQ(SVNET_GET, job.download.method);
  EXPECT_EQ(SVNET_HOSTS_SOURCE, job.download.hostMode);
  EXPECT_TRUE(job.download.resume);
  EXPECT_EQ("PatchKeeper 411", job.download.tag);
  const std::string programId = sv::TakeOut([](SvStr* out) { GetProgramId(out); });
  EXPECT_EQ("client/plugins.php?act=download&id=12&stat=" + programId, job.ps.path);
  EXPECT_EQ(SVNET_POSTORGET, job.ps.method);
  EXPECT_EQ(SVNET_HOSTS_SCRIPT, job.ps.hostMode);
  EXPECT_EQ(20000, job.ps.timeout);
}

TEST_F(Catalogue, DownloadAskedDuringALoadInstallsRightAfterIt) {
  refresh_(nullptr);
  ASSERT_FALSE(IsWindowEnabled(Button(u8"Обновить список")));
  download_(form_, "Newer");
  EXPECT_EQ(SVDNM_KEY_NONE, SVDNMGetStatusByIParam("Newer")) << "not before the load has ended";
  ASSERT_TRUE(uikit::PumpUntil([&] { return Status(3) == sv::Ru(u8"Идет загрузка..."); }, kLoadWaitMs));
  EXPECT_EQ(SVDNM_KEY_PENDING, SVDNMGetStatusByIParam("Newer"));
  EXPECT_EQ(3, SelectedRow());
  // A window that is not a catalogue addresses the current one.
  EXPECT_TRUE(WaitLoaded());
  download_(frame_, "Fresh");
  EXPECT_TRUE(uikit::PumpUntil([&] { return Status(4) == sv::Ru(u8"Идет загрузка..."); }, kLoadWaitMs));
}

TEST_F(Catalogue, AFailedLoadSaysSoAndKeepsTheList) {
  DeleteFileW(sv::Wide(nettest::ServerPath("client/plugins.php.readlist3.reply")).c_str());
  uikit::MessageBoxSeen box = AnswerBox(IDOK, [&] { ASSERT_TRUE(uikit::Press(form_, sv::Ru(u8"Обновить список"))); });
  EXPECT_EQ(sv::Ru(u8"Мастер обновлений"), box.caption);
  EXPECT_NE(std::string::npos, box.text.find(sv::Ru(u8"Невозможно подключиться к серверу!")));
  EXPECT_TRUE(WaitLoaded());
  EXPECT_EQ(7u, Rows().size());
  EXPECT_TRUE(IsWindowEnabled(list_));
  PutReadlist();
}

TEST_F(Catalogue, TheContextMenuOffersTheActionOfTheRowAndTheRefresh) {
  using Items = std::vector<std::pair<std::string, bool>>;
  Select(3);  // Альфа: an update
  MenuSeen menu = OpenMenu([&] { uikit::PressKey(list_, VK_RETURN); });
  EXPECT_EQ((Items{{sv::Ru(u8"Обновить"), true}, {sv::Ru(u8"Обновить список"), true}}), menu.items);
  RECT row = RowRect(3);
  POINT expected = {row.left + 40, row.top + 7};
  ClientToScreen(list_, &expected);
  EXPECT_EQ(expected.x, menu.at.x);
  EXPECT_EQ(expected.y, menu.at.y);

  // The keyboard's menu key opens the same menu at the same place.
  menu = OpenMenu([&] { uikit::PressKey(list_, VK_APPS); });
  EXPECT_EQ(2u, menu.items.size());
  EXPECT_EQ(expected.x, menu.at.x);

  // A right click selects the row under the mouse first: Гамма is installed.
  row = RowRect(5);
  const LPARAM at = MAKELPARAM(row.left + 30, (row.top + row.bottom) / 2);
  menu = OpenMenu([&] {
    PostMessageW(list_, WM_RBUTTONDOWN, MK_RBUTTON, at);
    PostMessageW(list_, WM_RBUTTONUP, 0, at);
  });
  EXPECT_EQ(5, SelectedRow());
  ASSERT_EQ(2u, menu.items.size());
  EXPECT_FALSE(menu.items[0].second);
  EXPECT_TRUE(menu.items[1].second);
}

TEST_F(Catalogue, ClosingAndActivationAreLeftToTheShell) {
  Pump(100);
  g_shellCommands.clear();
  SendMessageW(form_, WM_CLOSE, 0, 0);
  ASSERT_TRUE(uikit::Press(form_, sv::Ru(u8"Закрыть")));
  Pump(200);
  EXPECT_TRUE(IsWindow(form_));
  EXPECT_EQ((std::vector<std::pair<WPARAM, LPARAM>>{{SVSHELL_CLOSE_ACTIVE_PLUGIN, 0}, {SVSHELL_CLOSE_ACTIVE_PLUGIN, 0}}),
            g_shellCommands);
  g_shellCommands.clear();
  SendMessageW(form_, WM_MDIACTIVATE, 0, reinterpret_cast<LPARAM>(form_));
  Pump(200);
  EXPECT_EQ((std::vector<std::pair<WPARAM, LPARAM>>{{SVSHELL_PLUGIN_ACTIVATED, 0}}), g_shellCommands);
}

}  // namespace
