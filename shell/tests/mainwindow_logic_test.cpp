// The main window's plain decisions: the plugin array from the settings, the
// registration info files, the questions, the shortcuts, the command
// dispatcher, the dialogs library's use count, the menus read back.
#include <gtest/gtest.h>
#include <windows.h>

#include "command_dispatcher.h"
#include "main_menu.h"
#include "plugin_array.h"
#include "plugin_list_panel.h"
#include "plugin_questions.h"
#include "plugin_registration.h"
#include "shortcut.h"
#include "tools_binding.h"
#include "wide.h"
#include "SolvikaUtils.h"

namespace {

using shell::ListedPlugin;

std::string R(const char* utf8) { return sv::Ru(utf8); }

std::vector<ListedPlugin> Build(const std::string& ini, const std::string* marks = nullptr,
                                std::vector<std::string> missing = {}) {
  sv::IniText settings(ini);
  sv::IniText patch(marks ? *marks : "");
  shell::PluginArrayInput input{settings, marks ? &patch : nullptr,
                                [missing](const std::string& library) {
                                  for (const std::string& m : missing)
                                    if (m == library) return false;
                                  return true;
                                },
                                [](const std::string& a, const std::string& b) {
                                  return RusCompareStr(a.c_str(), b.c_str());
                                }};
  return shell::BuildPluginArray(input);
}

TEST(PluginArray, ASectionWithoutKeysIsANewOutdatedPluginNamedByItsId) {
  auto array = Build("[*X]\r\n[FetchKeeper]\r\nName=Downloads\r\nLibrary=FetchKeeper.svx\r\n");
  ASSERT_EQ(2u, array.size());  // header and plugin; FetchKeeper is never listed
  EXPECT_EQ(shell::kPluginGroupHeader, array[0].status);
  EXPECT_EQ(shell::kDefaultPluginGroup, array[0].name);
  EXPECT_EQ(R(u8"<Новые>"), array[0].name);
  EXPECT_EQ("", array[0].key);
  EXPECT_EQ("X", array[1].name);
  EXPECT_EQ("*X", array[1].key);
  EXPECT_EQ(shell::kPluginOutdated, array[1].status);  // NewVersion 1 > Version 0
}

TEST(PluginArray, GroupsInRussianOrderWithOneHeaderEachAndStatusesFromFiles) {
  std::string ini = R(u8"[*b]\r\nName=Яблоко\r\nSection=Сервис\r\nVersion=2\r\nNewVersion=2\r\n"
                      u8"[*a]\r\nName=Арбуз\r\nSection=Сервис\r\nVersion=1\r\nNewVersion=1\r\n"
                      u8"[*c]\r\nName=Ёж\r\nSection=Игры\r\nLibrary=c.svx\r\nVersion=5\r\n"
                      u8"[*d]\r\nName=Дом\r\nSection=Ёлки\r\nLibrary=gone.svx\r\nVersion=9\r\nNewVersion=1\r\n");
  auto array = Build(ini, nullptr, {"gone.svx"});
  std::vector<std::string> rows;
  for (const ListedPlugin& p : array) rows.push_back(shell::PluginRowText(p));
  // "Ё" sorts with "Е", before "И"; within a group by name.
  std::vector<std::string> expected = {R(u8"  Ёлки"), R(u8"Дом"),    R(u8"  Игры"),
                                       R(u8"Ёж"),      R(u8"  Сервис"), R(u8"Арбуз"), R(u8"Яблоко")};
  EXPECT_EQ(expected, rows);
  EXPECT_EQ(shell::kPluginNotInstalled, array[1].status);
  EXPECT_EQ(shell::kPluginReady, array[3].status);  // NewVersion 1 < Version 5
  EXPECT_EQ(shell::kPluginReady, array[5].status);
}

TEST(PluginArray, RestartMarksOfTheCatalogueWin) {
  std::string marks = "[PatchKeeper]\r\nLex=1\r\nOld=0\r\n";
  auto array = Build("[*Lex]\r\nLibrary=none.svx\r\n[*Old]\r\nVersion=1\r\n", &marks, {"none.svx"});
  ASSERT_EQ(3u, array.size());
  EXPECT_EQ("*Lex", array[1].key);
  EXPECT_EQ(shell::kPluginWaitingForRestart, array[1].status);
  EXPECT_EQ(shell::kPluginReady, array[2].status);
  EXPECT_TRUE(shell::MarkedForRestart(nullptr, "Lex") == false);
}

TEST(PluginRegistration, FiveLinesMakeASectionFewerMakeNothing) {
  auto r = shell::ReadRegistrationInfo("Player.info", "{1234-AB}\r\nplayer\r\nPlayer name\r\nMedia\r\n3\r\nextra\r\n");
  ASSERT_TRUE(r.has_value());
  EXPECT_EQ("*Player", r->section);
  EXPECT_EQ("{1234-AB}", r->guid);
  EXPECT_EQ("player.ocx", r->library);
  EXPECT_EQ("Player name", r->name);
  EXPECT_EQ("Media", r->group);
  EXPECT_EQ("3", r->version);
  EXPECT_FALSE(shell::ReadRegistrationInfo("Four.info", "a\r\nb\r\nc\r\nd\r\n").has_value());
  // The whole extension goes for ".mxinfo" too; a last line without a break counts.
  auto mx = shell::ReadRegistrationInfo("Clock.mxinfo", "g\nclock\nClock\nTools\n7");
  ASSERT_TRUE(mx.has_value());
  EXPECT_EQ("*Clock", mx->section);
  EXPECT_EQ("7", mx->version);
}

TEST(PluginQuestions, ExactTexts) {
  EXPECT_EQ(R(u8"Плагин \"Словарь\" не установлен!\rНужна перезагрузка программы.\r\rПерезагрузить программу сейчас?"),
            shell::RestartQuestion(R(u8"Словарь")));
  EXPECT_EQ(R(u8"Есть новая версия плагина \"Словарь\"\r\rЗакачать новую версию?"),
            shell::NewVersionQuestion(R(u8"Словарь")));
  EXPECT_EQ(R(u8"Плагин \"Словарь\" не установлен!\r\rУстановить?"), shell::InstallQuestion(R(u8"Словарь")));
  std::string tail = R(u8" прошла успешно!\rДля завершения установки нужно перезагрузить программу Solvika.\r\r"
                       u8"Перезагрузить программу сейчас?");
  EXPECT_EQ(R(u8"Загрузка обновлений \"Пакет\"") + tail, shell::UpdateFinishedQuestion(R(u8"Пакет")));
  EXPECT_EQ(R(u8"Загрузка обновлений") + tail, shell::UpdateFinishedQuestion(""));
}

TEST(Shortcuts, TextFormsBecomeKeys) {
  shell::Shortcut s = shell::ParseShortcut("Ctrl+Alt+F4");
  EXPECT_TRUE(s.valid && s.ctrl && s.alt && !s.shift);
  EXPECT_EQ(VK_F4, s.virtualKey);
  EXPECT_EQ(VK_SPACE, shell::ParseShortcut("Ctrl+Space").virtualKey);
  EXPECT_EQ(VK_F12, shell::ParseShortcut("Ctrl+F12").virtualKey);
  EXPECT_EQ('1', shell::ParseShortcut("Ctrl+1").virtualKey);
  EXPECT_EQ(VK_F5, shell::ParseShortcut("F5").virtualKey);
  EXPECT_FALSE(shell::ParseShortcut("Hyper+F5").valid);
  EXPECT_FALSE(shell::ParseShortcut("Ctrl+").valid);
  EXPECT_FALSE(shell::ParseShortcut("F25").valid);
}

TEST(CommandDispatcher, PlansOfEachCode) {
  auto catalogue = shell::PlanCommand(10, "", "");
  EXPECT_EQ(shell::DispatchPlan::Kind::kOpenCatalogue, catalogue.kind);
  EXPECT_EQ("PatchKeeper", catalogue.pluginKey);
  ASSERT_EQ(2u, catalogue.writes.size());
  EXPECT_EQ(R(u8"Мастер обновлений"), catalogue.writes[0].value);
  EXPECT_EQ("PatchKeeper.svx", catalogue.writes[1].value);

  EXPECT_EQ(shell::DispatchPlan::Kind::kRefreshCatalogue, shell::PlanCommand(13, "", "").kind);
  auto downloads = shell::PlanCommand(20, "", "");
  EXPECT_EQ("FetchKeeper", downloads.pluginKey);
  EXPECT_EQ(R(u8"Мастер закачек"), downloads.writes[0].value);

  auto pay = shell::PlanCommand(31, "http://s/sub.php", "6964");
  EXPECT_EQ(shell::DispatchPlan::Kind::kReopenPlugin, pay.kind);
  EXPECT_EQ("SVSubscription", pay.pluginKey);
  ASSERT_EQ(4u, pay.writes.size());
  EXPECT_EQ("SVBrowser.svx", pay.writes[0].value);
  EXPECT_EQ(R(u8"Мой абонемент"), pay.writes[1].value);
  EXPECT_EQ("URL", pay.writes[3].key);
  EXPECT_EQ("http://s/sub.php?a=pay&p=6964", pay.writes[3].value);
  const char* actions[] = {"info", "pay", "info", "log", "register", "adv", "free", "zuser", "zmaster", "info"};
  for (int code = 30; code <= 39; ++code) EXPECT_EQ(actions[code - 30], shell::SubscriptionAction(code)) << code;

  EXPECT_EQ(shell::DispatchPlan::Kind::kNone, shell::PlanCommand(11, "", "").kind);
  EXPECT_EQ(shell::DispatchPlan::Kind::kNone, shell::PlanCommand(40, "", "").kind);
}

TEST(DialogsLibraryUses, ModalAndNonModalUsesKeepTheLibraryAsLongAsNeeded) {
  shell::UseCount uses;
  EXPECT_TRUE(uses.Acquire());   // first use: load
  EXPECT_FALSE(uses.Release(0)); // a non-modal window keeps it
  EXPECT_FALSE(uses.Acquire());  // a modal call meanwhile
  EXPECT_FALSE(uses.Release(1));
  EXPECT_EQ(1, uses.Uses());
  EXPECT_FALSE(uses.Acquire());  // closing the window releases its use too
  EXPECT_TRUE(uses.Release(2));
  EXPECT_EQ(0, uses.Uses());
  EXPECT_FALSE(uses.Release(1));  // nothing to release: no second free
}

TEST(MainMenu, ItemsKeepTheirCaptionsAndTheBackupItemNeedsItsLibrary) {
  shell::OwnerDrawnMenus items;
  shell::MainMenus menus = shell::BuildMainMenu(items, false);
  HMENU bar = menus.bar.Get();
  wchar_t text[128];
  GetMenuStringW(bar, 0, text, 128, MF_BYPOSITION);
  EXPECT_EQ(L"Solvika    ", std::wstring(text));
  HMENU first = GetSubMenu(bar, 0);
  GetMenuStringW(first, shell::kMenuExit, text, 128, MF_BYCOMMAND);
  EXPECT_EQ(sv::Wide(R(u8"Выход ")) + L"\tCtrl+Alt+F4", std::wstring(text));
  EXPECT_EQ(-1, GetMenuState(bar, shell::kMenuBackup, MF_BYCOMMAND));
  EXPECT_NE(nullptr, menus.contents);
  EXPECT_NE(nullptr, menus.skins);

  shell::MainMenus withBackup = shell::BuildMainMenu(items, true);
  EXPECT_NE(-1, (int)GetMenuState(withBackup.bar.Get(), shell::kMenuBackup, MF_BYCOMMAND));

  shell::PostedCommand pay = shell::PostedCommandOf(shell::kMenuPay);
  EXPECT_TRUE(pay.posts);
  EXPECT_EQ(102u, pay.command);
  EXPECT_EQ(31, pay.argument);
  EXPECT_FALSE(shell::PostedCommandOf(shell::kMenuExit).posts);
}

TEST(PluginListPanel, KeepsItsDistancesWithinItsLimits) {
  RECT start = {100, 50, 500, 450};  // 400 x 400
  RECT grown = shell::FitPluginListPanel(start, SIZE{800, 600}, SIZE{900, 650});
  EXPECT_EQ(500, grown.right - grown.left);
  EXPECT_EQ(450, grown.bottom - grown.top);
  RECT huge = shell::FitPluginListPanel(start, SIZE{800, 600}, SIZE{2000, 2000});
  EXPECT_EQ(600, huge.right - huge.left);
  EXPECT_EQ(600, huge.bottom - huge.top);
  RECT tiny = shell::FitPluginListPanel(start, SIZE{800, 600}, SIZE{100, 100});
  EXPECT_EQ(400, tiny.right - tiny.left);
  EXPECT_EQ(300, tiny.bottom - tiny.top);
  COLORREF c;
  EXPECT_TRUE(shell::StatusColour(shell::kPluginOutdated, &c));
  EXPECT_EQ(RGB(204, 119, 0), c);
  EXPECT_FALSE(shell::StatusColour(shell::kPluginReady, &c));
}

}  // namespace
