// The update list: reading the server's reply and deciding, entry by entry,
// what this machine must fetch.
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "progress_text.h"
#include "update_list.h"

namespace {

using update::BuildDownloadList;
using update::FilterEntry;
using update::ParseUpdateReply;

struct LocalFile {
  uint64_t size = 0;
  int32_t version = 0;
  bool sizeReadable = true;
};

sv::UpdateEntry SplitEntry(std::string_view entry) { return sv::ParseUpdateEntry(entry); }

// A program folder held in memory.
class FakeTargets : public sv::UpdateEntryFacts {
 public:
  std::map<std::string, LocalFile> files;
  std::map<std::string, std::string> recordedPackages;
  mutable std::vector<std::string> asked;

  bool TargetExists(const std::string& name) const override {
    asked.push_back(name);
    return files.count(name) != 0;
  }
  bool TargetSize(const std::string& name, uint64_t* size) const override {
    auto it = files.find(name);
    if (it == files.end() || !it->second.sizeReadable) return false;
    *size = it->second.size;
    return true;
  }
  uint32_t TargetModuleVersion(const std::string& name) const override {
    auto it = files.find(name);
    return it == files.end() ? 0 : uint32_t(it->second.version);
  }
  bool PackageRecorded(const std::string& name) const override {
    auto it = recordedPackages.find(name);
    return it != recordedPackages.end() && !it->second.empty();
  }
};

TEST(UpdateReply, ListsFromTheirLinesWithAnyLineEnd) {
  const auto lists = ParseUpdateReply("OK\r\nFILES\ta.dll/b.dll\rjunk\tx\nPACKAGES\tp.uip\textra\r\n");
  EXPECT_EQ("a.dll/b.dll", lists.files);
  EXPECT_EQ("p.uip", lists.packages);
}

TEST(UpdateReply, LastLineWinsAndOthersAreIgnored) {
  const auto lists = ParseUpdateReply("FILES\tfirst\nFILESX\tno\nfiles\tno\nFILES\tsecond\nFILES");
  EXPECT_EQ("second", lists.files);
  EXPECT_EQ("", lists.packages);
  const auto empty = ParseUpdateReply("");
  EXPECT_TRUE(empty.files.empty() && empty.packages.empty());
}

TEST(ListEntry, SizeAfterAtAndVersionAfterHash) {
  auto e = SplitEntry("SolvikaNet.dll#14@42496");
  EXPECT_EQ("SolvikaNet.dll", e.name);
  EXPECT_EQ(14u, e.version);
  EXPECT_EQ(42496u, e.size);
  // Junk reads as 0; digits beyond the limits are cut off.
  e = SplitEntry("a.dll#x1@12z");
  EXPECT_EQ("a.dll", e.name);
  EXPECT_EQ(0u, e.version);
  EXPECT_EQ(0u, e.size);
  e = SplitEntry("a.dll#1234567@123456789012345678901234");
  EXPECT_EQ(12345u, e.version);
  EXPECT_EQ(12345678901234567890ull, e.size);
  // More than 64 bits of size, or 16 bits of version, is not a number.
  EXPECT_EQ(0u, SplitEntry("a@99999999999999999999").size);
  EXPECT_EQ(0u, SplitEntry("a#99999").version);
  // "@" before "#": the "#" is part of the cut-off size text.
  e = SplitEntry("a.dll@10#3");
  EXPECT_EQ("a.dll", e.name);
  EXPECT_EQ(0u, e.version);
}

TEST(FilterEntry, SizeAndVersionDecideForPresentFiles) {
  FakeTargets t;
  t.files["SolvikaNet.dll"] = {42496, 14};
  EXPECT_EQ("", FilterEntry("SolvikaNet.dll#14@42496", t));
  t.files["SolvikaNet.dll"].version = 13;
  EXPECT_EQ("SolvikaNet.dll.zip", FilterEntry("SolvikaNet.dll#14@42496", t));
  t.files["SolvikaNet.dll"] = {42000, 14};
  EXPECT_EQ("SolvikaNet.dll.zip", FilterEntry("SolvikaNet.dll#14@42496", t));
  t.files["SolvikaNet.dll"] = {42496, 14, false};
  EXPECT_EQ("SolvikaNet.dll.zip", FilterEntry("SolvikaNet.dll@42496", t));
  // Without a size or a version a present file is kept.
  EXPECT_EQ("", FilterEntry("SolvikaNet.dll", t));
}

TEST(FilterEntry, MissingFilesAndExtensions) {
  FakeTargets t;
  EXPECT_EQ("Missing.dll.zip", FilterEntry("Missing.dll", t));
  EXPECT_EQ("notes.uiu", FilterEntry("notes.uiu", t));
  EXPECT_EQ("data.ZIP", FilterEntry("data.ZIP@5", t));
  // The local name is the entry without its .zip or .uiu.
  EXPECT_EQ((std::vector<std::string>{"Missing.dll", "notes", "data"}), t.asked);
  t.files["notes"] = {};
  EXPECT_EQ("", FilterEntry("notes.uiu", t));
}

TEST(FilterEntry, ForcedEntriesAreAlwaysFetched) {
  FakeTargets t;
  t.files["Solvika.exe"] = {100, 5};
  EXPECT_EQ("Solvika.exe.zip", FilterEntry("+Solvika.exe@100", t));
  EXPECT_EQ("pack.uiu", FilterEntry("+pack.uiu", t));
  EXPECT_TRUE(t.asked.empty());
}

TEST(FilterEntry, PackagesFollowTheUpdatesRecord) {
  FakeTargets t;
  t.recordedPackages["done.uip"] = "1";
  t.recordedPackages["blank.uip"] = "";
  EXPECT_EQ("", FilterEntry("done.uip", t));
  EXPECT_EQ("blank.uip", FilterEntry("blank.uip", t));
  EXPECT_EQ("new.UIP", FilterEntry("new.UIP@77", t));
  EXPECT_TRUE(t.asked.empty()) << "packages are not looked for as files";
}

TEST(FilterEntry, DegenerateEntriesDoNotBreak) {
  FakeTargets t;
  EXPECT_EQ("", FilterEntry("@12", t));
  EXPECT_EQ("", FilterEntry(".zip", t));
  EXPECT_EQ("", FilterEntry("+", t));
  EXPECT_EQ("", FilterEntry("+.uiu#2", t));
  EXPECT_EQ("ab.zip", FilterEntry("ab", t));
}

TEST(FilterEntry, NamesThatLeaveTheProgramFolderAreRefused) {
  FakeTargets t;
  for (const char* entry : {"..\\Windows\\x.dll", "a/../../b.uip", "+..\\x", "C:\\x.dll", "\\x.dll", "/x.uiu",
                            "sub\\..", "+"}) {
    EXPECT_EQ("", FilterEntry(entry, t)) << entry;
  }
  EXPECT_TRUE(t.asked.empty());
  EXPECT_EQ("sub\\a..b.dll.zip", FilterEntry("sub\\a..b.dll", t));
}

TEST(DownloadList, PackagesFromLibThenFiles) {
  FakeTargets t;
  t.files["Kept.dll"] = {10, 1};
  t.recordedPackages["old.uip"] = "2026-01-01";
  update::UpdateLists lists;
  lists.files = "Kept.dll@10/New.dll//+Kept.dll/notes.uiu";
  lists.packages = "old.uip/fresh.uip";
  EXPECT_EQ("lib\\fresh.uip/New.dll.zip/Kept.dll.zip/notes.uiu/", BuildDownloadList(lists, t));
  EXPECT_EQ("", BuildDownloadList(update::UpdateLists{}, t));
}

TEST(ProgressTexts, PercentReceivedAndSpeed) {
  auto texts = update::MakeProgressTexts(100 * 1024, 400 * 1024, 4000);
  EXPECT_EQ(25, texts.percent);
  EXPECT_EQ("100 \xe8\xe7", texts.received);  // "100 из"
  EXPECT_EQ("25%", texts.percentage);
  EXPECT_EQ("25 \xca\xe1\xe0\xe9\xf2/\xf1", texts.speed);  // "25 Кбайт/с"
  // Elapsed time counts in whole seconds; none yet means no speed.
  EXPECT_EQ("", update::MakeProgressTexts(5000, 10000, 999).speed);
  EXPECT_EQ("2 \xca\xe1\xe0\xe9\xf2/\xf1", update::MakeProgressTexts(5 * 1024, 10000, 2999).speed);
}

TEST(ProgressTexts, PercentLimits) {
  EXPECT_EQ(100, update::ProgressPercent(0, 0));
  EXPECT_EQ(100, update::ProgressPercent(500, 100));
  EXPECT_EQ(0, update::ProgressPercent(0, 100));
  EXPECT_EQ(99, update::ProgressPercent(99, 100));
  EXPECT_EQ(49, update::ProgressPercent(UINT64_MAX / 2, UINT64_MAX));
  EXPECT_EQ(50, update::ProgressPercent(1ull << 63, UINT64_MAX));
}

TEST(ProgressTexts, SizeTexts) {
  EXPECT_EQ("1 \xca\xe1\xe0\xe9\xf2", update::TotalSizeLabel(2047));  // "1 Кбайт"
  EXPECT_EQ(0u, update::SizeAnnouncement(1024).find("\xd0\xe0\xe7\xec\xe5\xf0 "));  // "Размер "
  EXPECT_NE(std::string::npos, update::SizeAnnouncement(1024).find(" 1 \xca\xe1\xe0\xe9\xf2"));
  EXPECT_NE(std::string::npos, update::StartPrompt().find("\"\xd1\xf2\xe0\xf0\xf2\""));  // "Старт" in quotes
}

}  // namespace
