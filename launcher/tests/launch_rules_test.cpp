// The launchers' decisions: the mode a command line asks for, the windows the
// close-all procedure ends, and the legacy launcher's forwarding.
#include <gtest/gtest.h>

#include "launch_rules.h"

namespace {

using launcher::Mode;
using launcher::ModeOf;
using Args = std::vector<std::string>;

TEST(LaunchMode, OnlyTheExactFirstArgumentChoosesTheMode) {
  EXPECT_EQ(Mode::kNormalStart, ModeOf({}));
  EXPECT_EQ(Mode::kCloseAll, ModeOf({"-closeall"}));
  EXPECT_EQ(Mode::kUpdate, ModeOf({"-update", "extra"}));
  EXPECT_EQ(Mode::kCloseAndStart, ModeOf({"-closeprev"}));
  // Another case, a prefix or a longer word is an ordinary argument.
  EXPECT_EQ(Mode::kNormalStart, ModeOf({"-CloseAll"}));
  EXPECT_EQ(Mode::kNormalStart, ModeOf({"-UPDATE"}));
  EXPECT_EQ(Mode::kNormalStart, ModeOf({"-close"}));
  EXPECT_EQ(Mode::kNormalStart, ModeOf({"-closeall2"}));
  EXPECT_EQ(Mode::kNormalStart, ModeOf({" -closeall"}));
  EXPECT_EQ(Mode::kNormalStart, ModeOf({""}));
}

TEST(LaunchMode, SwitchesAfterTheFirstArgumentDoNotChooseTheMode) {
  EXPECT_EQ(Mode::kNormalStart, ModeOf({"file.txt", "-closeprev"}));
  EXPECT_EQ(Mode::kNormalStart, ModeOf({"-tnmultipleinstances", "-closeall"}));
  EXPECT_EQ(Mode::kCloseAll, ModeOf({"-closeall", "-update"}));
}

TEST(LaunchMode, MultipleInstancesSwitchCountsAtAnyPosition) {
  EXPECT_TRUE(launcher::AllowsMultipleInstances({"-tnmultipleinstances"}));
  EXPECT_TRUE(launcher::AllowsMultipleInstances({"-closeprev", "x", "-tnmultipleinstances"}));
  EXPECT_FALSE(launcher::AllowsMultipleInstances({}));
  EXPECT_FALSE(launcher::AllowsMultipleInstances({"-TnMultipleInstances"}));
  EXPECT_FALSE(launcher::AllowsMultipleInstances({"-tnmultipleinstances2", "tnmultipleinstances"}));
}

TEST(CloseAll, EndsApplicationWindowsOfThisSystemAndTheOlderOne) {
  using launcher::IsCloseAllCandidate;
  EXPECT_TRUE(IsCloseAllCandidate("Solvika", "TApplication"));
  EXPECT_TRUE(IsCloseAllCandidate("Solvika Update", "TApplication"));
  EXPECT_TRUE(IsCloseAllCandidate("SolvikaX", "TApplication"));
  EXPECT_TRUE(IsCloseAllCandidate("", "TSolvikaApplication"));
  EXPECT_TRUE(IsCloseAllCandidate("anything", "TSolvikaApplication"));
  // Other programs' application windows, and this system's other windows.
  EXPECT_FALSE(IsCloseAllCandidate("Notepad", "TApplication"));
  EXPECT_FALSE(IsCloseAllCandidate("", "TApplication"));
  EXPECT_FALSE(IsCloseAllCandidate("Solvik", "TApplication"));
  EXPECT_FALSE(IsCloseAllCandidate("solvika", "TApplication"));
  EXPECT_FALSE(IsCloseAllCandidate("My Solvika", "TApplication"));
  EXPECT_FALSE(IsCloseAllCandidate("Solvika", "TSolvikaMainForm"));
  EXPECT_FALSE(IsCloseAllCandidate("Solvika", "tapplication"));
  EXPECT_FALSE(IsCloseAllCandidate("Solvika", "TApplicationX"));
  EXPECT_FALSE(IsCloseAllCandidate("Solvika", "TSolvikaApplication2"));
}

TEST(LegacyLauncher, JoinsArgumentsBySingleSpacesWithoutQuoting) {
  using launcher::JoinLegacyArguments;
  EXPECT_EQ(L"a b", JoinLegacyArguments({L"a", L"b"}));
  EXPECT_EQ(L"", JoinLegacyArguments({}));
  EXPECT_EQ(L"-closeall", JoinLegacyArguments({L"-closeall"}));
  // An argument that held spaces is not quoted again.
  EXPECT_EQ(L"C:\\My Files\\x.txt -y", JoinLegacyArguments({L"C:\\My Files\\x.txt", L"-y"}));
  // Empty arguments still get their space: only the first space is dropped.
  EXPECT_EQ(L"", JoinLegacyArguments({L""}));
  EXPECT_EQ(L" a", JoinLegacyArguments({L"", L"a"}));
  EXPECT_EQ(L"a ", JoinLegacyArguments({L"a", L""}));
  // Text outside Windows-1251 passes unchanged.
  EXPECT_EQ(L"\u4e2d \u0436", JoinLegacyArguments({L"\u4e2d", L"\u0436"}));
}

TEST(LegacyLauncher, TargetIsSolvikaExeOfItsOwnFolder) {
  using launcher::LegacyTargetPath;
  EXPECT_EQ(L"C:\\Program Files\\Solvika\\Solvika.exe", LegacyTargetPath(L"C:\\Program Files\\Solvika\\Tovrin.exe"));
  EXPECT_EQ(L"C:\\Solvika.exe", LegacyTargetPath(L"C:\\Tovrin.exe"));
  EXPECT_EQ(L"\\\\server\\share\\Solvika.exe", LegacyTargetPath(L"\\\\server\\share\\Tovrin.exe"));
  // A folder with a dot in its name: the cut is at the backslash, not the dot.
  EXPECT_EQ(L"D:\\v1.2\\Solvika.exe", LegacyTargetPath(L"D:\\v1.2\\Tovrin"));
  // Without any backslash nothing of the path is kept.
  EXPECT_EQ(L"Solvika.exe", LegacyTargetPath(L"Tovrin.exe"));
  EXPECT_EQ(L"Solvika.exe", LegacyTargetPath(L""));
  EXPECT_EQ(L"C:\\dir\\Solvika.exe", LegacyTargetPath(L"C:\\dir\\"));
}

}  // namespace
