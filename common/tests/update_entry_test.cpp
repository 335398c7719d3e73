// The shared update entry filter: parsing of "#version" and "@size", the
// extension rules, the machine facts that decide, and the catalogue's
// rejection of "+" entries.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "update_entry.h"

namespace {

struct FakeFacts : sv::UpdateEntryFacts {
  std::set<std::string> recorded;
  std::map<std::string, uint64_t> sizes;  // existing targets
  std::set<std::string> unreadable;       // exist, size cannot be read
  std::map<std::string, uint32_t> versions;

  bool PackageRecorded(const std::string& p) const override { return recorded.count(p) != 0; }
  bool TargetExists(const std::string& t) const override { return sizes.count(t) != 0; }
  bool TargetSize(const std::string& t, uint64_t* size) const override {
    auto it = sizes.find(t);
    if (it == sizes.end() || unreadable.count(t)) return false;
    *size = it->second;
    return true;
  }
  uint32_t TargetModuleVersion(const std::string& t) const override {
    auto it = versions.find(t);
    return it == versions.end() ? 0 : it->second;
  }
};

std::string Accepted(std::string_view entry, const FakeFacts& facts,
                     sv::PlusEntries plus = sv::PlusEntries::kForced) {
  std::string download;
  return sv::AcceptUpdateEntry(entry, facts, plus, &download) ? download : "<rejected>";
}

TEST(UpdateEntryParse, SplitsVersionAndSizeAndTreatsBadNumbersAsZero) {
  sv::UpdateEntry e = sv::ParseUpdateEntry("SolvikaNet.dll#14@42496");
  EXPECT_EQ("SolvikaNet.dll", e.name);
  EXPECT_EQ(14u, e.version);
  EXPECT_EQ(42496u, e.size);

  // "@" is cut first, so a "#" after it belongs to the size text.
  e = sv::ParseUpdateEntry("a.dll@10#3");
  EXPECT_EQ("a.dll", e.name);
  EXPECT_EQ(0u, e.version);
  EXPECT_EQ(0u, e.size);

  e = sv::ParseUpdateEntry("a.dll#x1@");
  EXPECT_EQ("a.dll", e.name);
  EXPECT_EQ(0u, e.version);
  EXPECT_EQ(0u, e.size);

  // Only five version characters count (the sixth is ignored); a version past
  // 16 bits reads as 0.
  EXPECT_EQ(12345u, sv::ParseUpdateEntry("a#12345").version);
  EXPECT_EQ(12345u, sv::ParseUpdateEntry("a#123456").version);
  EXPECT_EQ(0u, sv::ParseUpdateEntry("a#70000").version);
  // Twenty size digits at most; one that overflows 64 bits reads as 0.
  EXPECT_EQ(18446744073709551615u, sv::ParseUpdateEntry("a@18446744073709551615").size);
  EXPECT_EQ(0u, sv::ParseUpdateEntry("a@99999999999999999999").size);
  EXPECT_EQ("+x.dll", sv::ParseUpdateEntry("+x.dll#2").name);
}

TEST(UpdateEntryParse, SplitsListsDroppingEmptyPieces) {
  EXPECT_EQ((std::vector<std::string>{"a", "b#1", "c"}), sv::SplitUpdateList("/a//b#1/c/"));
  EXPECT_TRUE(sv::SplitUpdateList("").empty());
  EXPECT_TRUE(sv::SplitUpdateList("///").empty());
}

TEST(UpdateEntryFilter, SizeAndVersionDecideForExistingTargets) {
  FakeFacts facts;
  facts.sizes["SolvikaNet.dll"] = 42496;
  facts.versions["SolvikaNet.dll"] = 14;
  EXPECT_EQ("<rejected>", Accepted("SolvikaNet.dll#14@42496", facts));
  facts.versions["SolvikaNet.dll"] = 13;
  EXPECT_EQ("SolvikaNet.dll.zip", Accepted("SolvikaNet.dll#14@42496", facts));
  facts.versions["SolvikaNet.dll"] = 15;
  EXPECT_EQ("<rejected>", Accepted("SolvikaNet.dll#14@42496", facts));
  EXPECT_EQ("SolvikaNet.dll.zip", Accepted("SolvikaNet.dll@1", facts));
  facts.unreadable.insert("SolvikaNet.dll");
  EXPECT_EQ("SolvikaNet.dll.zip", Accepted("SolvikaNet.dll@42496", facts));
  // Neither size nor version given: an existing target is kept.
  EXPECT_EQ("<rejected>", Accepted("SolvikaNet.dll", facts));
}

TEST(UpdateEntryFilter, ExtensionsAndMissingTargets) {
  FakeFacts facts;
  EXPECT_EQ("missing.dll.zip", Accepted("missing.dll", facts));
  EXPECT_EQ("skin.uiu", Accepted("skin.uiu", facts));
  EXPECT_EQ("docs.ZIP", Accepted("docs.ZIP", facts));
  std::string download, target;
  ASSERT_TRUE(sv::AcceptUpdateEntry("skin.UIU@5", facts, sv::PlusEntries::kForced, &download, &target));
  EXPECT_EQ("skin.UIU", download);
  EXPECT_EQ("skin", target);
  // The local target of a ".zip" entry is the name without the extension.
  facts.sizes["docs"] = 1;
  EXPECT_EQ("<rejected>", Accepted("docs.zip", facts));
}

TEST(UpdateEntryFilter, PackagesFollowOnlyTheRecord) {
  FakeFacts facts;
  facts.recorded.insert("base.uip");
  EXPECT_EQ("<rejected>", Accepted("base.uip", facts));
  EXPECT_EQ("new.uip", Accepted("new.uip#3@10", facts));
  // A leading "+" on a package is part of its name, not a force.
  EXPECT_EQ("+new.uip", Accepted("+new.uip", facts, sv::PlusEntries::kRejected));
}

TEST(UpdateEntryFilter, PlusForcesForTheWizardAndRejectsForTheCatalogue) {
  FakeFacts facts;
  facts.sizes["x.dll"] = 5;
  EXPECT_EQ("x.dll.zip", Accepted("+x.dll", facts));
  EXPECT_EQ("<rejected>", Accepted("+x.dll", facts, sv::PlusEntries::kRejected));
  EXPECT_EQ("<rejected>", Accepted("+missing.dll", facts, sv::PlusEntries::kRejected));
}

TEST(UpdateEntryFilter, NamesLeavingTheProgramFolderAreNeverFetched) {
  FakeFacts facts;
  EXPECT_EQ("<rejected>", Accepted("..\\evil.dll", facts));
  EXPECT_EQ("<rejected>", Accepted("+../../evil.dll", facts));
  EXPECT_EQ("<rejected>", Accepted("C:\\evil.dll", facts));
  EXPECT_EQ("<rejected>", Accepted("\\evil.dll", facts));
  EXPECT_EQ("<rejected>", Accepted("..\\lib\\evil.uip", facts));
  EXPECT_EQ("<rejected>", Accepted("#5@3", facts));
  EXPECT_EQ("<rejected>", Accepted(".zip", facts));
  EXPECT_EQ("skins\\a.dll.zip", Accepted("skins\\a.dll", facts));
}

TEST(UpdateEntryFilter, DownloadListPutsPackagesFirstUnderLib) {
  FakeFacts facts;
  facts.recorded.insert("old.uip");
  facts.sizes["have.dll"] = 3;
  EXPECT_EQ("lib\\new.uip/a.dll.zip/s.uiu/",
            sv::BuildUpdateDownloadList("old.uip/new.uip", "a.dll/have.dll@3/s.uiu", facts, sv::PlusEntries::kForced));
  EXPECT_EQ("", sv::BuildUpdateDownloadList("", "+have.dll", facts, sv::PlusEntries::kRejected));
}

}  // namespace
