// The main window with the real plugin host and test plugins, driven from
// outside: the plugin list built from the settings, registration files,
// opening plugins from the menu with the questions answered, the close
// command, a reload with a restart mark, the update question, the exit.
#include "shell_run.h"

#include <commctrl.h>

namespace {

using namespace shelltest;

// The shell's menu command ids of listed plugins (main_menu.h).
constexpr UINT kFirstPluginMenuId = 3000;
const char* const kHostFiles[] = {"TovrinPlugins.dll", "TovrinPF.dll", "TovrinMain.dll", "TovrinUtils.dll",
                                  "Alpha.svx", "Beta.svx"};

std::string R(const char* utf8) { return sv::Ru(utf8); }

int CountMdiChildren(HWND main) {
  HWND client = FindWindowExW(main, nullptr, L"MDICLIENT", nullptr);
  int n = 0;
  for (HWND w = GetWindow(client, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) ++n;
  return n;
}

class MainWindowRun : public ShellRun {
 protected:
  void SetUp() override {
    ShellRun::SetUp();
    Install(std::vector<std::string>(std::begin(kHostFiles), std::end(kHostFiles)));
    std::string ini = R(u8"[Solvika]\r\nShowProxy=0\r\n"
                        u8"[*Alpha]\r\nName=Словарь\r\nSection=Справочники\r\nLibrary=Alpha.svx\r\nVersion=2\r\n"
                        u8"NewVersion=2\r\n"
                        u8"[*Beta]\r\nName=Браузер\r\nSection=Интернет\r\nLibrary=Beta.svx\r\nNewVersion=3\r\n"
                        u8"[*Gamma]\r\nName=Погода\r\nSection=Интернет\r\n"
                        u8"[FetchKeeper]\r\nName=x\r\n");
    WriteFileBytes(Folder() + "Tovrin.ini", ini);
    // The list in report style, so that its rows read as one column.
    WriteFileBytes(Folder() + "SolvikaLC.ini", "[main]\r\nContentViewAsList=0\r\n");
    WriteFileBytes(Folder() + "Four.info", "{G}\r\nfour\r\nFour\r\nTools\r\n");
    WriteFileBytes(Folder() + "Clock.mxinfo", R(u8"{C}\r\nclock\r\nЧасы\r\nСервис\r\n2\r\n"));
  }

  HWND PluginList(HWND main) {
    HWND panel = FindWindowExW(main, nullptr, L"TSVContentsPanel", nullptr);
    return panel ? FindWindowExW(panel, nullptr, WC_LISTVIEWW, nullptr) : nullptr;
  }
  std::vector<std::string> Rows(HWND list) {
    std::vector<std::string> rows;
    for (auto& row : uikit::ListViewRows(list)) rows.push_back(row[0]);
    return rows;
  }
  // Opens listed plugin `index` as its menu item does.
  void OpenFromMenu(HWND main, int index) { PostMessageW(main, WM_COMMAND, kFirstPluginMenuId + index, 0); }
  // Answers the next question of the shell and returns its text.
  std::string Answer(int button) {
    uikit::MessageBoxSeen box = uikit::WaitMessageBox(shell_.Id(), kStepWaitMs);
    EXPECT_NE(nullptr, box.window) << Log();
    if (!box.window) return "";
    EXPECT_EQ(R(u8"Мастер обновлений"), box.caption);
    uikit::Answer(box, button);
    uikit::WaitGone(box.window);
    return box.text;
  }
};

TEST_F(MainWindowRun, ListsOpensAsksClosesReloadsAndExits) {
  Start();
  HWND main = WaitMainWindow(R(u8"Программа Solvika"));
  ASSERT_NE(nullptr, main) << Log();
  HWND list = PluginList(main);
  ASSERT_NE(nullptr, list);

  // Registration: the four-line file went without a trace, the .mxinfo one
  // made a section; the native plugins registered themselves.
  EXPECT_FALSE(sv::FileExists(Folder() + "Four.info"));
  EXPECT_FALSE(sv::FileExists(Folder() + "Clock.mxinfo"));
  std::string ini = ReadFileBytes(Folder() + "Tovrin.ini");
  EXPECT_NE(std::string::npos, ini.find("[*Clock]")) << ini;
  EXPECT_EQ(std::string::npos, ini.find("[*Four]")) << ini;
  EXPECT_NE(std::string::npos, ReadFileBytes(Folder() + "Alpha.log").find("RegisterPlugin"));

  std::vector<std::string> expected = {R(u8"  Интернет"), R(u8"Браузер"), R(u8"Погода"), R(u8"  Сервис"),
                                       R(u8"Часы"),        R(u8"  Справочники"), R(u8"Словарь")};
  // The delayed start step refreshes the list once the loop runs.
  EXPECT_TRUE(WaitFor([&] { return Log().find("LVRefresh") != std::string::npos; }));
  EXPECT_TRUE(WaitFor([&] { return Rows(list) == expected; }));
  EXPECT_EQ(expected, Rows(list));
  ExpectInOrder(Log(), {"SVMain > LoadPlugins > Strart", "SVMain > LoadPlugins > RegisterPlugins",
                        "SVMain > LoadPlugins > MakePluginsArray", "SVMain > LoadPlugins > MakePluginsMenu",
                        "SVMain > MakePluginsMenu > Start", "SVMain > MakePluginsMenu > Done",
                        "SVMain > LoadPlugins > MakeStyleSkinsMenu", "SVMain > LoadPlugins > Done",
                        "SVMain > LoadPlugins > LVRefresh"});

  // A ready plugin opens at once and the list goes.
  OpenFromMenu(main, 6);
  EXPECT_TRUE(WaitFor([&] { return CountMdiChildren(main) == 1; })) << Log();
  EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(GetParent(list)); }));

  // An outdated one asks first; No opens the installed version.
  OpenFromMenu(main, 1);
  EXPECT_EQ(R(u8"Есть новая версия плагина \"Браузер\"\r\rЗакачать новую версию?"), Answer(IDNO));
  EXPECT_TRUE(WaitFor([&] { return CountMdiChildren(main) == 2; }));

  // One that is not installed asks to install it; No opens nothing.
  OpenFromMenu(main, 2);
  EXPECT_EQ(R(u8"Плагин \"Погода\" не установлен!\r\rУстановить?"), Answer(IDNO));
  Sleep(300);
  EXPECT_EQ(2, CountMdiChildren(main));

  // Command 2 with two plugins open closes one; the list stays hidden.
  PostMessageW(main, WM_SHELL_COMMAND, SVSHELL_CLOSE_ACTIVE_PLUGIN, 0);
  EXPECT_TRUE(WaitFor([&] { return CountMdiChildren(main) == 1; }));
  Sleep(300);
  EXPECT_FALSE(IsWindowVisible(GetParent(list)));
  // Closing the last one brings the list back.
  PostMessageW(main, WM_SHELL_COMMAND, SVSHELL_CLOSE_ACTIVE_PLUGIN, 0);
  EXPECT_TRUE(WaitFor([&] { return CountMdiChildren(main) == 0 && IsWindowVisible(GetParent(list)); }));

  // The catalogue marks a plugin for the restart; after a reload opening it
  // only offers the restart.
  WriteFileBytes(Folder() + "PatchKeeper.upd", "[PatchKeeper]\r\nAlpha=1\r\n");
  PostMessageW(main, WM_SHELL_COMMAND, SVSHELL_RELOAD_PLUGINS, 0);
  Sleep(500);
  OpenFromMenu(main, 6);
  EXPECT_EQ(R(u8"Плагин \"Словарь\" не установлен!\rНужна перезагрузка программы.\r\rПерезагрузить программу "
              u8"сейчас?"),
            Answer(IDNO));
  Sleep(300);
  EXPECT_EQ(0, CountMdiChildren(main));

  // An update download finished (no such job: the text without a name).
  PostMessageW(main, WM_SHELL_COMMAND, SVSHELL_UPDATE_DOWNLOADED, 12345);
  EXPECT_EQ(R(u8"Загрузка обновлений прошла успешно!\rДля завершения установки нужно перезагрузить программу "
              u8"Solvika.\r\rПерезагрузить программу сейчас?"),
            Answer(IDNO));

  // Exit with a plugin open: it is closed before the host goes.
  OpenFromMenu(main, 1);
  Answer(IDNO);
  EXPECT_TRUE(WaitFor([&] { return CountMdiChildren(main) == 1; }));
  ExitAndWait(main);
  EXPECT_NE(std::string::npos, ReadFileBytes(Folder() + "Beta.log").find("Destroy"));
}

}  // namespace

namespace {

// A banner of two rows of squares, blue, as the server would deliver it.
void WriteBanner(const std::string& folder, const std::string& name, const std::string& description) {
  constexpr int kWidth = 120, kHeight = 20;
  std::string pixels;
  for (int i = 0; i < kWidth * kHeight; ++i) pixels += std::string("\xC0\x60\x20", 3);
  BITMAPFILEHEADER file = {};
  BITMAPINFOHEADER info = {};
  info.biSize = sizeof(info);
  info.biWidth = kWidth;
  info.biHeight = kHeight;
  info.biPlanes = 1;
  info.biBitCount = 24;
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof(file) + sizeof(info);
  file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
  std::string bytes(reinterpret_cast<const char*>(&file), sizeof(file));
  bytes.append(reinterpret_cast<const char*>(&info), sizeof(info));
  bytes += pixels;
  CreateDirectoryW(sv::Wide(folder + "Solvika.com").c_str(), nullptr);
  WriteFileBytes(folder + "Solvika.com\\" + name + ".bcom", bytes);
  WriteFileBytes(folder + "Solvika.com\\" + name + ".icom", description);
}

}  // namespace

TEST_F(MainWindowRun, ShowsTheBannerAndOpensTheSearchBoxUnderTheMouse) {
  WriteBanner(Folder(), "Solvika", "version\t1\r\ndefault\tSolvika\r\n");
  Start();
  HWND main = WaitMainWindow(R(u8"Программа Solvika"));
  ASSERT_NE(nullptr, main) << Log();
  HWND banner = FindWindowExW(main, nullptr, L"TSVBannerPanel", nullptr);
  ASSERT_NE(nullptr, banner);
  RECT client;
  GetClientRect(banner, &client);
  EXPECT_EQ(120, client.right);  // the panel fits one grid row

  HWND search = nullptr;
  for (HWND child = GetWindow(main, GW_CHILD); child && !search; child = GetWindow(child, GW_HWNDNEXT))
    search = FindWindowExW(child, nullptr, L"TSVSearchPanel", nullptr);
  ASSERT_NE(nullptr, search);
  HWND picture = FindWindowExW(search, nullptr, L"TSVSearchPicture", nullptr);
  HWND edit = FindWindowExW(search, nullptr, L"EDIT", nullptr);
  ASSERT_TRUE(picture && edit);
  EXPECT_FALSE(IsWindowVisible(edit));
  uikit::CaptureScreen("/tmp/sv_shell_main_banner.png");
  PostMessageW(picture, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(edit) && !IsWindowVisible(picture); }));
  uikit::SetText(edit, R(u8"  поиск  "));
  uikit::CaptureScreen("/tmp/sv_shell_main_search.png");
  ExitAndWait(main);
}
