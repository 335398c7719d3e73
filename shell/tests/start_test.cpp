// The shell's whole run as a process: start-up with and without the plugin
// host, the main window's hide and restore, the popup notice of a plugin, the
// exit command, and the order of the log lines from start to shutdown.
#include "shell_run.h"

namespace {

using namespace shelltest;

// Without the plugin host the user is asked; answered No, the program still
// comes up, and it can be hidden, restored from outside and ended.
TEST_F(ShellRun, WithoutPluginHostAnsweredNoTheWindowOpensHidesRestoresAndExits) {
  WriteFileBytes(Folder() + "PatchKeeper.upd", "[PatchKeeper]\r\nLexikon=1\r\n");
  WriteFileBytes(Folder() + "TovrinNews.svx", "old plugin");
  WriteFileBytes(Folder() + "Tovrin.ini", "[*TovrinNews]\r\nName=News\r\n[Solvika]\r\nShowProxy=0\r\n");
  Start();

  uikit::MessageBoxSeen box = uikit::WaitMessageBox(shell_.Id(), kStartWaitMs);
  ASSERT_NE(nullptr, box.window) << Log();
  EXPECT_EQ("Solvika", box.caption);
  EXPECT_EQ(sv::Ru(u8"Не найден модуль: TovrinPlugins.dll\rПрограмма может работать некорректно!\r"
                   u8"Обновить программу?"),
            box.text);
  uikit::Answer(box, IDNO);

  HWND main = WaitMainWindow(sv::Ru(u8"Программа Solvika"));
  ASSERT_NE(nullptr, main) << Log();
  EXPECT_TRUE(IsZoomed(main));
  EXPECT_NE(nullptr, FindWindowExW(main, nullptr, L"MDICLIENT", nullptr));
  HWND application = uikit::FindTopWindow(L"TApplication", "Solvika", shell_.Id());
  ASSERT_NE(nullptr, application);
  EXPECT_FALSE(IsWindowVisible(application));

  // The delayed step closes the splash and makes the (hidden) popup window.
  EXPECT_NE(nullptr, WaitPopupWindow());
  EXPECT_TRUE(WaitFor([&] { return uikit::FindTopWindow(L"TLogoForm", nullptr, shell_.Id()) == nullptr; }));

  // Closing hides to the tray; the program lives on.
  PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(main); }));
  Sleep(500);
  EXPECT_TRUE(IsWindow(main));
  EXPECT_TRUE(shell_.Running());

  // A second copy restores the application window; the main window returns.
  ShowWindow(application, SW_RESTORE);
  SetForegroundWindow(application);
  EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(main) != FALSE; }));
  EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(application); }));

  ExitAndWait(main);
  std::string log = Log();
  ExpectInOrder(log, {"SVMain > Charset Params > ", "SVMain > SetThreadLocale > True",
                      "SVMain > FixDefaultUserCodePage > True", "SVMain > Charset Params > 1049 1251 ",
                      "--SVNet started", "=== Start SVDNM", "=== Stop SVDNM", "--SVNet stopped"});
  EXPECT_EQ(std::string::npos, log.find("=== Open library")) << log;

  // The start tidied the folder: leftovers and the discontinued plugin's
  // settings are gone, the rest of the settings stay.
  EXPECT_FALSE(sv::FileExists(Folder() + "PatchKeeper.upd"));
  EXPECT_FALSE(sv::FileExists(Folder() + "TovrinNews.svx"));
  std::string ini = ReadFileBytes(Folder() + "Tovrin.ini");
  EXPECT_EQ(std::string::npos, ini.find("TovrinNews")) << ini;
  EXPECT_NE(std::string::npos, ini.find("ShowProxy=0")) << ini;
}

// With a plugin host: its tab bar sits in the main window's bottom panel, a
// plugin's notice shows in the corner and a click on it opens that plugin;
// the exit closes every plugin before the host goes and the engines stop.
TEST_F(ShellRun, WithPluginHostPopupClickOpensThePluginAndExitClosesPluginsFirst) {
  InstallStubPluginHost();
  WriteFileBytes(Folder() + "SolvikaLC.ini", "[Client]\r\nNum=12345\r\n");
  WriteFileBytes(Folder() + "Tovrin.ini", "[Solvika]\r\nShowProxy=0\r\n");
  Start();

  HWND main = WaitMainWindow(sv::Ru(u8"Программа Solvika №12345"));
  ASSERT_NE(nullptr, main) << Log();
  HWND tabBar = nullptr;
  EXPECT_TRUE(WaitFor([&] { return (tabBar = uikit::FindChild(main, "stub tab bar")) != nullptr; }));
  if (tabBar) EXPECT_EQ(main, GetParent(GetParent(tabBar)));

  HWND popup = WaitPopupWindow();
  ASSERT_NE(nullptr, popup);
  EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(popup) != FALSE; }));
  EXPECT_NE(nullptr, uikit::FindChild(popup, "Stub"));
  RECT r, area;
  GetWindowRect(popup, &r);
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  EXPECT_EQ(284, r.right - r.left);
  EXPECT_EQ(186, r.bottom - r.top);
  EXPECT_EQ(area.right - 5, r.right);
  EXPECT_EQ(area.bottom - 5, r.bottom);
  EXPECT_TRUE(GetWindowLongW(popup, GWL_EXSTYLE) & WS_EX_TOPMOST);

  PostMessageW(popup, WM_LBUTTONDOWN, MK_LBUTTON, 0);
  EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(popup); }));
  EXPECT_TRUE(WaitFor([&] { return Log().find("stub host > AddPlugin > *Stub") != std::string::npos; })) << Log();

  ExitAndWait(main);
  ExpectInOrder(Log(), {"=== Open library TovrinPlugins.dll", "stub host > TNPluginsCreate2",
                        "stub host > AddPlugin > *Stub", "stub host > CloseActivePlugin",
                        "stub host > CloseActivePlugin", "stub host > CloseActivePlugin",
                        "stub host > CloseActivePlugin", "stub host > TNPluginsFree",
                        "=== Close library TovrinPlugins.dll", "=== Stop SVDNM", "--SVNet stopped"});
}

}  // namespace
