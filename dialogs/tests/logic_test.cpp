// The dialogs' plain logic: backup names and list lines, proxy choices and
// checks, report texts and paths.
#include <gtest/gtest.h>

#include "dump_format.h"
#include "dump_work.h"
#include "options_logic.h"
#include "report_text.h"
#include "wide.h"

using namespace dialogs;

TEST(DumpFormat, BaseNameDropsExeInAnyCase) {
  EXPECT_EQ("C:\\b\\Copy", dump::BackupBaseName("  C:\\b\\Copy.Exe "));
  EXPECT_EQ("C:\\b\\Copy", dump::BackupBaseName("C:\\b\\Copy"));
  EXPECT_EQ("C:\\b\\Copy.zip", dump::BackupBaseName("C:\\b\\Copy.zip"));
}

TEST(DumpFormat, FlatNamesKeepFoldersAndTildesApart) {
  EXPECT_EQ("sub~a~.~b.txt", dump::FlatName("sub\\a~b.txt"));
  EXPECT_EQ("x~y~z", dump::FlatName("x/y\\z"));
  EXPECT_FALSE(dump::NeedsFlatName("plain.dll"));
  EXPECT_EQ("plain.dll", dump::EntryName("plain.dll"));
  // A program file named like the list file cannot take its entry.
  EXPECT_NE(dump::kListEntryName, dump::EntryName(dump::kListEntryName));
}

TEST(DumpFormat, ListLinesRoundTripAndRejectDamage) {
  std::vector<dump::ListedFile> files;
  std::string text = dump::ListLine({"a\\b c.txt", 12}) + dump::ListLine({"x", 5000000000ull});
  ASSERT_TRUE(dump::ParseList(text, &files));
  ASSERT_EQ(2u, files.size());
  EXPECT_EQ("a\\b c.txt", files[0].path);
  EXPECT_EQ(5000000000ull, files[1].size);
  files.clear();
  EXPECT_FALSE(dump::ParseList("name\r\n", &files));
  EXPECT_FALSE(dump::ParseList("name\t12x\r\n", &files));
  EXPECT_FALSE(dump::ParseList("\t12\r\n", &files));
}

TEST(DumpFormat, ProgressOfAnEmptyFolderIsComplete) {
  EXPECT_EQ(100, dump::ProgressPercent(0, 0));
  EXPECT_EQ(50, dump::ProgressPercent(5000000000ll, 10000000000ll));
}

TEST(Options, InitialChoiceAndFieldStates) {
  EXPECT_EQ(kProxyDirect, InitialProxyChoice("", "0", "ie", "8080"));
  EXPECT_EQ(kProxyBrowser, InitialProxyChoice("ie", "8080", "ie", "8080"));
  EXPECT_EQ(kProxyOwn, InitialProxyChoice("ie", "3128", "ie", "8080"));
  FieldStates browser = FieldStatesFor(kProxyBrowser);
  EXPECT_FALSE(browser.serverPort);
  EXPECT_TRUE(browser.loginPassword);
  EXPECT_TRUE(browser.fillFromBrowser);
  EXPECT_FALSE(FieldStatesFor(kProxyDirect).loginPassword);
  EXPECT_TRUE(FieldStatesFor(kProxyOwn).serverPort);
}

TEST(Options, PortCheck) {
  ProxyToStore p;
  EXPECT_TRUE(ProxyFromFields(kProxyDirect, "h", "x", "l", "w", &p));
  EXPECT_TRUE(p.host.empty());
  EXPECT_FALSE(ProxyFromFields(kProxyOwn, "h", "abc", "", "", &p));
  EXPECT_FALSE(ProxyFromFields(kProxyOwn, "h", "0", "", "", &p));
  EXPECT_FALSE(ProxyFromFields(kProxyOwn, "h", "70000", "", "", &p));
  ASSERT_TRUE(ProxyFromFields(kProxyOwn, "h", "3128", "l", "w", &p));
  EXPECT_EQ(3128, p.port);
  EXPECT_EQ("l", p.login);
  // Without a server the port does not matter and is stored as 0.
  ASSERT_TRUE(ProxyFromFields(kProxyOwn, "", "abc", "", "", &p));
  EXPECT_EQ(0, p.port);
}

TEST(About, VersionLine) { EXPECT_EQ(sv::Ru(u8"Версия: 4.18"), AboutVersionLine("418")); }

TEST(Report, SystemTextLinesAndErrorFraming) {
  SystemFacts f;
  f.activePlugin = "Downloads";
  f.programVersion = "418";
  f.plugins = {{"Dict", "12"}};
  f.libraries = {{"a.dll", 7}};
  f.patchKeeperVersion = 3;
  const std::string t = SystemText(f);
  EXPECT_EQ(0u, t.find(sv::Ru(u8"Активный плагин: Downloads\r\n\r\nСлужебная информация: \r\nВерсия программы: 418\r\n")));
  EXPECT_NE(std::string::npos, t.find(sv::Ru(u8"Плагины: \r\n        Dict (12)\r\nБиблиотеки программы: \r\n        a.dll (7)\r\n")));
  EXPECT_EQ(t.size() - 27, t.rfind("        PatchKeeper.svx (3)"));

  EXPECT_EQ("S", ErrorLogText("S", "", ""));
  EXPECT_EQ(sv::Ru(u8"Ошибка:\r\nH\r\n\r\nS\r\nDebug Information:\r\nD"), ErrorLogText("S", "H", "D"));
  EXPECT_EQ("client/solvika.php?action=paysupport&stat=ID&email=a%40b&icq=1",
            ReportPath(kPaySupport, "ID", "a%40b", "1"));
}
