// The catalogue's plain logic: the readlist3 reply, the statuses from
// prepared machine facts, the order of the rows and the texts shown.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "catalogue_model.h"

namespace {

using namespace sv::catalogue;

struct Facts : CatalogueFacts {
  std::set<std::string> pending, restart, libraries, recorded;
  std::map<std::string, uint64_t> sizes;
  std::map<std::string, uint32_t> versions;
  bool DownloadPending(const std::string& k) const override { return pending.count(k) != 0; }
  bool RestartMarked(const std::string& k) const override { return restart.count(k) != 0; }
  bool LibraryPresent(const std::string& k) const override { return libraries.count(k) != 0; }
  bool PackageRecorded(const std::string& p) const override { return recorded.count(p) != 0; }
  bool TargetExists(const std::string& t) const override { return sizes.count(t) != 0; }
  bool TargetSize(const std::string& t, uint64_t* s) const override {
    auto it = sizes.find(t);
    if (it == sizes.end()) return false;
    *s = it->second;
    return true;
  }
  uint32_t TargetModuleVersion(const std::string& t) const override {
    auto it = versions.find(t);
    return it == versions.end() ? 0 : it->second;
  }
};

int ByteCompare(const std::string& a, const std::string& b) { return a.compare(b); }

Entry Plugin(const std::string& key, const std::string& files, uint32_t required = 0) {
  Entry e;
  e.title = key;
  e.key = key;
  e.files = files;
  e.required = required;
  return e;
}

int StatusOf(Entry e, const Facts& f, uint32_t program = 418) {
  std::vector<Entry> v{e};
  ComputeStatuses(v, program, f);
  return v[0].status;
}

TEST(Readlist3, ParsesSectionsAndKeepsShortRecords) {
  const std::string reply =
      "OK\r\nDIRLIST\r\n\t7\tTools\n\tx\r\nPLUGINLIST\n"
      "\tChat\tchat\tchat.dll#3@10\t12\tline1//line2\t105\tc.uip\t7\t01.02.2026\t419\textra\r"
      "\tShort\tshort\n"
      "END\n\tOrphan\torphan\n";
  const auto e = ParseReadlist3(reply);
  ASSERT_EQ(4u, e.size());
  EXPECT_EQ(Kind::kDirectory, e[0].kind);
  EXPECT_EQ(7u, e[0].number);
  EXPECT_EQ("    TOOLS", e[0].title);
  EXPECT_EQ(0u, e[1].number);  // "x" is no number
  EXPECT_EQ("    ", e[1].title);
  EXPECT_EQ(Kind::kPlugin, e[2].kind);
  EXPECT_EQ("Chat", e[2].title);
  EXPECT_EQ("chat", e[2].key);
  EXPECT_EQ("chat.dll#3@10", e[2].files);
  EXPECT_EQ(12u, e[2].number);
  EXPECT_EQ(105, e[2].version);
  EXPECT_EQ("c.uip", e[2].packages);
  EXPECT_EQ(7u, e[2].group);
  EXPECT_EQ("01.02.2026", e[2].date);
  EXPECT_EQ(419u, e[2].required);
  EXPECT_EQ("short", e[3].key);
  EXPECT_EQ("", e[3].date);
  EXPECT_EQ(0u, e[3].group);
}

TEST(Readlist3, DirectoryTitlesUpperCaseRussian) {
  // "    ИГРЫ" from "Игры"
  const auto e = ParseReadlist3("DIRLIST\n\t1\t\xc8\xe3\xf0\xfb\n");
  ASSERT_EQ(1u, e.size());
  EXPECT_EQ("    \xc8\xc3\xd0\xdb", e[0].title);
}

TEST(Status, DecidesInTheDocumentedOrder) {
  Facts f;
  f.libraries.insert("p");
  f.sizes["p.dll"] = 100;
  f.versions["p.dll"] = 3;
  EXPECT_EQ(kOldProgram, StatusOf(Plugin("p", "p.dll", 419), f));
  EXPECT_EQ(kInstalled, StatusOf(Plugin("p", "p.dll#3@100", 418), f));
  EXPECT_EQ(kNotUpdated, StatusOf(Plugin("p", "p.dll#4@100"), f));
  f.restart.insert("p");
  EXPECT_EQ(kRestartNeeded, StatusOf(Plugin("p", "p.dll#4"), f));
  f.pending.insert("p");
  EXPECT_EQ(kDownloading, StatusOf(Plugin("p", "p.dll#4"), f));
  // The program's own limit wins over everything on the machine.
  EXPECT_EQ(kOldProgram, StatusOf(Plugin("p", "p.dll#4", 419), f));
}

TEST(Status, MissingLibraryAndPlusEntries) {
  Facts f;
  EXPECT_EQ(kNotInstalled, StatusOf(Plugin("q", "q.dll"), f));
  // Missing library but nothing to fetch: shown as installed.
  EXPECT_EQ(kInstalled, StatusOf(Plugin("q", "+q.dll"), f));
  f.libraries.insert("q");
  EXPECT_EQ(kInstalled, StatusOf(Plugin("q", "+x.dll"), f));

  std::vector<Entry> v{Plugin("q", "+x.dll/q.dll")};
  v[0].packages = "q.uip/+lib.uip";
  ComputeStatuses(v, 418, f);
  EXPECT_EQ(kNotUpdated, v[0].status);
  EXPECT_EQ("lib\\q.uip/lib\\+lib.uip/q.dll.zip/", v[0].packages);
  EXPECT_EQ("q.uip/+lib.uip/q.dll/", v[0].files);
  EXPECT_EQ(std::string::npos, v[0].packages.find("x.dll"));
}

TEST(Order, DirectoriesThenTheirPluginsOrphansDropped) {
  auto e = ParseReadlist3(
      "DIRLIST\n\t2\tbeta\n\t1\talpha\nPLUGINLIST\n"
      "\tzed\tz\t\t\t\t\t\t1\n\tamy\ta\t\t\t\t\t\t1\n\tbob\tb\t\t\t\t\t\t2\n\tlost\tl\t\t\t\t\t\t9\n");
  const auto o = OrderEntries(e, ByteCompare);
  std::vector<std::string> titles;
  for (const auto& x : o) titles.push_back(x.title);
  EXPECT_EQ((std::vector<std::string>{"    ALPHA", "amy", "zed", "    BETA", "bob"}), titles);
}

TEST(Texts, VersionsMemoLooksAndQuestions) {
  EXPECT_EQ("4.11", VersionText(411));
  EXPECT_EQ("1.05", VersionText(105));
  EXPECT_EQ("0", VersionText(0));
  EXPECT_EQ("12", VersionText(12));
  EXPECT_EQ("655.35", VersionText(65535));
  EXPECT_EQ("a\r\nb\r\n/c", MemoText("a//b///c"));

  EXPECT_EQ(nullptr, LookOf(kInstalled).action);
  EXPECT_EQ(nullptr, LookOf(kDownloading).action);
  EXPECT_STREQ("\xc8\xed\xf4\xee", LookOf(kOldProgram).action);  // "Инфо"
  EXPECT_EQ(204, LookOf(kNotUpdated).r);
  EXPECT_EQ(255, LookOf(kNotInstalled).r);
  EXPECT_EQ(160, LookOf(kRestartNeeded).g);
  EXPECT_EQ(255, LookOf(kDownloading).b);
  EXPECT_STREQ("", LookOf(9).text);

  const std::string q = RestartQuestion("Chat");
  EXPECT_NE(std::string::npos, q.find("\"Chat\"\r"));
  EXPECT_EQ('?', q.back());
  const std::string m = OldProgramMessage("Chat");
  EXPECT_EQ(0u, m.find("\xc4\xeb\xff \xf3\xf1\xf2\xe0\xed\xee\xe2\xea\xe8 \xef\xeb\xe0\xe3\xe8\xed\xe0 \"Chat\"\r"));
  EXPECT_EQ("\"Chat\".", m.substr(m.size() - 7));
}

TEST(Download, JobCarriesTheDownloadListAndStatistics) {
  Entry e = Plugin("chat", "");
  e.title = "Chat";
  e.number = 12;
  e.packages = "lib\\c.uip/chat.dll.zip/";
  const DownloadJob job = MakeDownloadJob(e, "ABC");
  EXPECT_EQ("lib\\c.uip/chat.dll.zip/", job.files);
  EXPECT_EQ("client/plugins.php?act=download&id=12&stat=ABC", job.after_path);
  EXPECT_EQ("\xcf\xeb\xe0\xe3\xe8\xed: Chat", job.title);
  EXPECT_EQ("chat", job.iparam);
}

}  // namespace
