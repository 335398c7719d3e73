// Page definitions, registration rules, the pages the window writes and the
// temporary page file, without a window.
#include <gtest/gtest.h>

#include "file_io.h"
#include "page_definition.h"
#include "page_text.h"
#include "temporary_page.h"
#include "test_support.h"
#include "wide.h"

namespace {

using namespace svbrowser;

TEST(PageDefinition, ReadsSectionSvbAndFillsOnlyMissingKeysWithDefaults) {
  PageDefinition full = ReadPageDefinition(
      "[other]\r\nName=Wrong\r\n[SVB]\r\nname = News \r\nSection=Info\r\nTopic=T\r\nURL=http://h/p?a=1\r\n");
  EXPECT_EQ("News", full.name);
  EXPECT_EQ("Info", full.section);
  EXPECT_EQ("T", full.topic);
  EXPECT_EQ("http://h/p?a=1", full.url);

  PageDefinition none = ReadPageDefinition("[other]\nName=X\n");
  EXPECT_EQ("SVBrowser", none.name);
  EXPECT_EQ("", none.section);
  EXPECT_EQ("SVBrowser", none.topic);
  EXPECT_EQ(kDefaultStartPage, none.url);

  // A key that is there but empty stays empty, as the profile reader has it.
  PageDefinition empty = ReadPageDefinition("[svb]\nName=\nURL=http://h/\n");
  EXPECT_EQ("", empty.name);
  EXPECT_EQ("SVBrowser", empty.topic);

  // A lone CR must not carry a line of its own into the settings file.
  EXPECT_EQ("News", ReadPageDefinition("[svb]\nName=News \r[Evil]\nURL=x\n").name);
}

TEST(PageDefinition, KeysComeFromFileNamesEndingInSvb) {
  EXPECT_EQ("*News", PluginKeyOfFile("News.svb").value_or("?"));
  EXPECT_EQ("*My.Page", PluginKeyOfFile("My.Page.SVB").value_or("?"));
  EXPECT_FALSE(PluginKeyOfFile("News.svbak"));  // matched through a short name only
  EXPECT_FALSE(PluginKeyOfFile(".svb"));
  EXPECT_EQ("News", PluginIdOfKey("**News"));
  EXPECT_EQ("SVSubscription", PluginIdOfKey("SVSubscription"));
  EXPECT_EQ("", PluginIdOfKey("**"));
}

TEST(PageDefinition, RegistrationKeepsValuesPresentAndFillsTheEmptyOnes) {
  PageDefinition page = ReadPageDefinition("[svb]\nName=News\nSection=Info\nTopic=T\nURL=http://h/\n");
  auto writes = RegistrationWrites(page, [](const char* key) {
    return std::string(key) == "Name" ? std::string("Renamed") : std::string();
  });
  std::vector<std::string> seen;
  for (const SettingWrite& w : writes) seen.push_back(w.key + "=" + w.value);
  EXPECT_EQ((std::vector<std::string>{"Library=SVBrowser.svx", "Version=111", "Section=Info", "Topic=T",
                                      "URL=http://h/"}),
            seen);
}

TEST(ErrorPage, OffersTheRetryLinkAndTheStartPageOnlyWhenElsewhere) {
  const std::string text = sv::Ru(
      u8"Internet Explorer НЕ МОЖЕТ ПОДКЛЮЧИТЬСЯ К СЕРВЕРУ!<br><br>"
      u8"Не найдено активное подключение к Интернету или Ваш Internet Explorer не настроен на работу в сети.<br>"
      u8"Проверьте соединение или настройте Internet Explorer<br><br>");
  EXPECT_EQ(text + sv::Ru(u8"<a href=\"http://h/a\">Повторить</a><br><br>"),
            ConnectionErrorBody("http://h/a", "http://h/a"));
  EXPECT_EQ(text + sv::Ru(u8"<a href=\"http://h/b\">Повторить</a>&nbsp;&nbsp;&nbsp;&nbsp;"
                          u8"<a href=\"http://h/a\">На стартовую</a><br><br>"),
            ConnectionErrorBody("http://h/b", "http://h/a"));

  const std::string head =
      "<html><head><META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=windows-1251\"></head>";
  EXPECT_EQ(head +
                "<body  scroll=auto oncontextmenu=\"return false;\" style=\"border: none\" bgColor=#d8d8d8>"
                "<table align=center height=95%><tr><td valign=middle align=center>" +
                ConnectionErrorBody("http://h/a", "http://h/a") + "</td></tr></table></body></html>",
            ConnectionErrorPage("http://h/a", "http://h/a"));
  EXPECT_EQ(head + "<body scroll=auto oncontextmenu=\"return false;\" style=\"border: none\" bgcolor=#d8d8d8>"
                   "<b>x</b></body></html>",
            WrapPage("<b>x</b>"));

  EXPECT_TRUE(IsBuiltInErrorPage("res://ieframe.dll/dnserror.htm#http://h/"));
  EXPECT_TRUE(IsBuiltInErrorPage("RES://shdoclc.dll/x"));
  EXPECT_FALSE(IsBuiltInErrorPage("http://h/res://"));
  EXPECT_FALSE(IsBuiltInErrorPage("res:/"));
}

TEST(TemporaryPage, NameStaysInsideTheTemporaryFolderWhateverTheKey) {
  EXPECT_EQ("~Solvika.News.tmp.html", TemporaryPageName("**News"));
  EXPECT_EQ("~Solvika.SVSubscription.tmp.html", TemporaryPageName("SVSubscription"));
  EXPECT_EQ(sv::Ru(u8"~Solvika.Новости_Ёё.tmp.html"), TemporaryPageName(sv::Ru(u8"*Новости Ёё")));
  // Keys the server may write through the settings.
  for (const char* key : {"*..\\..\\Windows\\evil", "*C:\\x", "*a/../../b", "*x:stream", "*..", "*a\"b<c>|?"}) {
    std::string name = TemporaryPageName(key);
    EXPECT_EQ(std::string::npos, name.find_first_of("\\/:\"<>|?*")) << key;
    EXPECT_EQ(std::string::npos, name.find("..")) << key;
    EXPECT_EQ(0u, name.find("~Solvika.")) << key;
  }
  EXPECT_EQ("~Solvika.______Windows_evil.tmp.html", TemporaryPageName("*..\\..\\Windows\\evil"));
  EXPECT_LE(TemporaryPageName("*" + std::string(5000, 'a')).size(), 100u);
}

TEST(TemporaryPage, WriterReplacesTheOldFileAndNeverLeavesTheFolder) {
  ScratchDir outer("svb");
  std::string inner = outer / "tmp\\";
  ASSERT_TRUE(sv::CreateFolderTree(inner));
  std::string path = WriteTemporaryPage(inner, "*..\\escape", "<p>old</p>");
  EXPECT_EQ(inner + "~Solvika.___escape.tmp.html", path);
  path = WriteTemporaryPage(inner.substr(0, inner.size() - 1), "*..\\escape", "<p>new</p>");
  EXPECT_EQ(inner + "~Solvika.___escape.tmp.html", path);
  EXPECT_EQ("<p>new</p>", ReadFileBytes(path));
  EXPECT_EQ(1u, sv::FindNames(inner + "*", sv::EntryKind::kAny).size());
  EXPECT_EQ(1u, sv::FindNames(outer / "*", sv::EntryKind::kAny).size());  // only "tmp"
  EXPECT_EQ("file://" + path, FileUrl(path));
  // A folder that is not there: nothing written, nothing shown.
  EXPECT_EQ("", WriteTemporaryPage(outer / "missing\\", "*x", "<p/>"));
  EXPECT_EQ("", WriteTemporaryPage("", "*x", "<p/>"));
}

}  // namespace
