// The access rules over an access file in memory, with a scripted user.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "access_core.h"

namespace {

using pf::AccessControl;

class MemoryFile : public pf::AccessFile {
 public:
  std::string Get(const std::string& s, const std::string& k) override {
    auto sec = Find(s);
    if (!sec) return "";
    for (auto& kv : *sec) {
      if (kv.first == k) return kv.second;
    }
    return "";
  }
  void Set(const std::string& s, const std::string& k, const std::string& v) override {
    auto* sec = Find(s);
    if (!sec) {
      sections.push_back({s, {}});
      sec = &sections.back().second;
    }
    for (auto& kv : *sec) {
      if (kv.first == k) {
        kv.second = v;
        return;
      }
    }
    sec->push_back({k, v});
  }
  void Remove(const std::string& s, const std::string& k) override {
    if (auto* sec = Find(s)) {
      sec->erase(std::remove_if(sec->begin(), sec->end(), [&](auto& kv) { return kv.first == k; }), sec->end());
    }
  }
  void RemoveSection(const std::string& s) override {
    sections.erase(std::remove_if(sections.begin(), sections.end(), [&](auto& x) { return x.first == s; }),
                   sections.end());
  }
  std::vector<std::string> Sections() override {
    std::vector<std::string> names;
    for (auto& x : sections) names.push_back(x.first);
    return names;
  }
  std::vector<std::string> Lines(const std::string& s) override {
    std::vector<std::string> lines;
    if (auto* sec = Find(s)) {
      for (auto& kv : *sec) lines.push_back(kv.first + "=" + kv.second);
    }
    return lines;
  }

  std::vector<std::pair<std::string, std::vector<std::pair<std::string, std::string>>>> sections;

 private:
  std::vector<std::pair<std::string, std::string>>* Find(const std::string& s) {
    for (auto& x : sections) {
      if (x.first == s) return &x.second;
    }
    return nullptr;
  }
};

std::string Hex(const std::string& bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string out;
  for (unsigned char c : bytes) out += {kDigits[c >> 4], kDigits[c & 15]};
  return out;
}

class ScriptedServices : public pf::Services {
 public:
  std::string ToStored(const std::string& plain) override { return Hex(plain); }
  std::string ToPlain(const std::string& stored) override {
    std::string out;
    for (size_t i = 0; i + 1 < stored.size(); i += 2) out += (char)std::stoi(stored.substr(i, 2), nullptr, 16);
    return out;
  }
  std::string Md5Text(const std::string& text) override { return "digest-of-" + text; }
  std::string DescriptionCategory(const std::string& id, const std::string& item) override {
    auto it = categories.find(id + "|" + item);
    return it == categories.end() ? "" : it->second;
  }
  std::string AskPassword(const std::string& prompt) override {
    prompts.push_back(prompt);
    if (answers.empty()) return std::string(1, '\0');
    std::string a = answers.front();
    answers.pop_front();
    return a;
  }
  void ShowError(const std::string& text, const std::string& caption) override { errors.push_back(caption + ": " + text); }
  std::string ModuleName(const std::string& module) override { return module == "Games" ? "Игры" : ""; }

  std::map<std::string, std::string> categories;  // "section id|item" -> category
  std::deque<std::string> answers;
  std::vector<std::string> prompts, errors;
};

const std::string kCancel(1, '\0');

class AccessRules : public ::testing::Test {
 protected:
  // A protected plugin list: module "Plugins" with the description "Tovrin.ini".
  void ProtectWithPassword(const std::string& password) {
    control.RegisterModule("Plugins", "Tovrin.ini");
    control.ChangePassword(password);
    control.SetOrGetStatus(pf::kProtectionOn);
  }

  MemoryFile file;
  ScriptedServices services;
  AccessControl control{file, services};
};

TEST_F(AccessRules, NothingStoredMeansNoPasswordNoProtection) {
  EXPECT_EQ(pf::kProtectionOff, control.SetOrGetStatus(0));
  EXPECT_TRUE(control.IsPasswordEmpty());
  EXPECT_TRUE(control.GetAccess("Plugins", "*Lexikon"));
  EXPECT_TRUE(services.prompts.empty());
  EXPECT_EQ("", control.SectionsText());
  EXPECT_EQ(7, control.GetParam("Width", 7));
}

TEST_F(AccessRules, ProtectedItemAsksEveryTimeAndTheRightPasswordKeepsTheStatus) {
  ProtectWithPassword("secret");
  control.SetFlag("Tovrin.ini", "*Lexikon", true);
  services.answers = {"secret", "secret"};
  EXPECT_TRUE(control.GetAccess("Plugins", "*Lexikon"));
  EXPECT_EQ(pf::kProtectionOn, control.SetOrGetStatus(0));
  EXPECT_TRUE(control.GetAccess("Plugins", "*Lexikon"));
  ASSERT_EQ(2u, services.prompts.size()) << "a correct password opens only the one request";
  EXPECT_EQ(pf::kAccessPrompt, services.prompts[0]);
  EXPECT_TRUE(control.GetAccess("Plugins", "*Other")) << "an unprotected item asks nothing";
  EXPECT_EQ(2u, services.prompts.size());
}

TEST_F(AccessRules, WrongPasswordIsReportedAndCancelIsSilent) {
  ProtectWithPassword("secret");
  control.SetFlag("Tovrin.ini", "*Lexikon", true);
  services.answers = {"wrong", kCancel};
  EXPECT_FALSE(control.GetAccess("Plugins", "*Lexikon"));
  ASSERT_EQ(1u, services.errors.size());
  EXPECT_EQ(std::string(pf::kAccessCaption) + ": " + pf::kWrongPasswordText, services.errors[0]);
  EXPECT_FALSE(control.GetAccess("Plugins", "*Lexikon"));
  EXPECT_EQ(1u, services.errors.size()) << "a cancelled prompt shows no message";
}

TEST_F(AccessRules, OffStatusesAskNothing) {
  ProtectWithPassword("secret");
  control.SetFlag("Tovrin.ini", "*Lexikon", true);
  for (uint8_t off : {pf::kOffUntilRestart, pf::kProtectionOff}) {
    EXPECT_EQ(off, control.SetOrGetStatus(off));
    EXPECT_TRUE(control.GetAccess("Plugins", "*Lexikon"));
    EXPECT_EQ(pf::kGranted, control.Enter("p"));
  }
  EXPECT_TRUE(services.prompts.empty());
}

TEST_F(AccessRules, CategoriesProtectTheirItemsAlongTheChain) {
  ProtectWithPassword("pw");
  services.categories["Tovrin.ini|*Chess"] = "Games";
  control.SetFlag("Tovrin.ini", "+Games", true);
  services.answers = {kCancel};
  EXPECT_FALSE(control.GetAccess("Plugins", "*Chess")) << "protected through its category";

  // A chain: *Go -> Board -> Games (protected).
  services.categories["Tovrin.ini|*Go"] = "Board";
  services.categories["Tovrin.ini|+Board"] = "Games";
  services.answers = {"pw"};
  EXPECT_TRUE(control.GetAccess("Plugins", "*Go"));
  EXPECT_EQ(2u, services.prompts.size());
}

TEST_F(AccessRules, CategoryLoopEndsAsNotProtected) {
  ProtectWithPassword("pw");
  services.categories["Tovrin.ini|*Loop"] = "A";
  services.categories["Tovrin.ini|+A"] = "B";
  services.categories["Tovrin.ini|+B"] = "A";
  services.categories["Tovrin.ini|*Self"] = "Self";
  services.categories["Tovrin.ini|+Self"] = "Self";
  EXPECT_TRUE(control.GetAccess("Plugins", "*Loop"));
  EXPECT_TRUE(control.GetAccess("Plugins", "*Self"));
  EXPECT_TRUE(services.prompts.empty());
}

TEST_F(AccessRules, OnlyTheRequestedModulesSectionsCount) {
  ProtectWithPassword("pw");
  control.RegisterModule("Games", "games.ini");
  control.SetFlag("games.ini", "*Lexikon", true);
  EXPECT_TRUE(control.GetAccess("Plugins", "*Lexikon")) << "flag of another module";
  services.answers = {kCancel};
  EXPECT_FALSE(control.GetAccess("Games", "*Lexikon"));
  EXPECT_EQ("Tovrin.ini/Plugins\tgames.ini/Games\t", control.SectionsText());
  control.UnregisterModule("games.ini");
  EXPECT_EQ("Tovrin.ini/Plugins\t", control.SectionsText());
}

TEST_F(AccessRules, ExitTurnsOffUntilRestartBackOn) {
  control.SetOrGetStatus(pf::kOffUntilRestart);
  EXPECT_EQ(pf::kProtectionOn, control.Exit());
  EXPECT_EQ(pf::kProtectionOn, control.SetOrGetStatus(0));
  control.SetOrGetStatus(pf::kProtectionOff);
  EXPECT_EQ(pf::kProtectionOff, control.Exit());
  EXPECT_EQ(pf::kProtectionOff, control.SetOrGetStatus(0));
  EXPECT_EQ(pf::kProtectionOff, control.SetOrGetStatus(9)) << "other values only read";
}

TEST_F(AccessRules, EmptyPasswordCountsAsNone) {
  control.ChangePassword("");
  EXPECT_TRUE(control.IsPasswordEmpty());
  EXPECT_EQ(pf::kGranted, control.EnterIfPassword("p"));
  EXPECT_TRUE(services.prompts.empty());
  control.ChangePassword("x");
  EXPECT_FALSE(control.IsPasswordEmpty());
  services.answers = {"y"};
  EXPECT_EQ(pf::kWrongPassword, control.EnterIfPassword("p")) << "asks whatever the status";
}

TEST_F(AccessRules, FlagsAndSectionListing) {
  control.RegisterModule("Plugins", "Tovrin.ini");
  control.SetFlag("Tovrin.ini", "*A", true);
  control.SetFlag("Tovrin.ini", "+Игры", true);
  EXPECT_TRUE(control.GetFlag("Tovrin.ini", "*A"));
  EXPECT_EQ(Hex("Module") + "=" + Hex("Plugins") + "\t" + Hex("*A") + "=1\t" + Hex("+Игры") + "=1",
            control.SectionText("Tovrin.ini"));
  control.SetFlag("Tovrin.ini", "*A", false);
  EXPECT_FALSE(control.GetFlag("Tovrin.ini", "*A"));
  EXPECT_EQ(std::string::npos, control.SectionText("Tovrin.ini").find(Hex("*A")));
  EXPECT_EQ("", control.SectionText("missing.ini"));
}

TEST_F(AccessRules, CaptionsAndParameters) {
  EXPECT_EQ(pf::kNoNameCaption, control.Caption(""));
  EXPECT_EQ(pf::kPluginsCaption, control.Caption("Plugins"));
  EXPECT_EQ("Игры", control.Caption("Games"));
  EXPECT_EQ(pf::kNoNameCaption, control.Caption("Unknown"));
  control.SetParam("Left", -12);
  EXPECT_EQ(-12, control.GetParam("Left", 0));
  EXPECT_EQ("-12", file.Get("QZW", "Left"));
}

}  // namespace
