// The access windows' plain logic: the module list, the item flags, the two
// item file formats, the rights tree and the password window's checks.
#include <gtest/gtest.h>

#include <functional>

#include "access_rights.h"
#include "password_check.h"
#include "wide.h"

using namespace dialogs;
using sv::Ru;

namespace {

// Every node of a tree in depth-first order, as "id:name" with children in
// brackets, so that a whole tree compares as one text.
std::string Shape(const std::vector<RightsNode>& level) {
  std::string s;
  for (const RightsNode& n : level) {
    if (!s.empty()) s += ' ';
    s += n.id + ":" + n.name + (n.isProtected ? "!" : "");
    if (!n.children.empty()) s += "[" + Shape(n.children) + "]";
  }
  return s;
}

size_t Count(const std::vector<RightsNode>& level) {
  size_t n = level.size();
  for (const RightsNode& node : level) n += Count(node.children);
  return n;
}

std::string Reversed(const std::string& s) { return std::string(s.rbegin(), s.rend()); }

}  // namespace

TEST(AccessRights, ModulesCollectTheirSectionsInOrder) {
  auto modules = ParseRightsModules("Tovrin.ini/Plugins\tgames.svm/Games\tbad\tSVData/more.ini/Games\t");
  ASSERT_EQ(2u, modules.size());
  EXPECT_EQ("Plugins", modules[0].name);
  EXPECT_EQ(std::vector<std::string>{"Tovrin.ini"}, modules[0].sections);
  EXPECT_EQ("Games", modules[1].name);
  // A section identifier may itself hold "/": the record splits at its last.
  EXPECT_EQ((std::vector<std::string>{"games.svm", "SVData/more.ini"}), modules[1].sections);
  EXPECT_TRUE(ParseRightsModules("").empty());
}

TEST(AccessRights, OnlyOneCharacterValuesAreFlags) {
  auto flagged = ProtectedItems("4d6f64756c65=47616d6573\tab=1\tcd=0\tef=11\tgh", Reversed);
  EXPECT_EQ((std::set<std::string>{"ba"}), flagged);
}

TEST(AccessRights, ListFileItemsTakeTheirFirstNameAndCategory) {
  auto items = ReadListItems("#orphan\r\n  *chess \r\n\r\n# Шахматы\r\n#second\r\n%Board\r\n+Board\r\n#Настольные\r\n*go\r\n");
  ASSERT_EQ(3u, items.size());
  EXPECT_EQ("*chess", items[0].id);
  EXPECT_EQ("Шахматы", items[0].name);
  EXPECT_EQ("Board", items[0].category);
  EXPECT_EQ("+Board", items[1].id);
  EXPECT_EQ("", items[2].name);
  // The extension decides the reader, in any case.
  EXPECT_EQ(3u, ReadRightsItems("GAMES.SVM", "*a\n+b\n*c\n").size());
  EXPECT_EQ(0u, ReadRightsItems("games.ini", "*a\n+b\n*c\n").size());
}

TEST(AccessRights, IniItemsAreTheStarAndPlusSections) {
  auto items = ReadIniItems(
      "[Solvika]\r\nName=not an item\r\n[ *Alpha ]\r\nname = Словарь\r\nName=second\r\nCATEGORY=Refs\r\n"
      "[Other]\r\nCategory=lost\r\n[+Refs]\r\nName=Справочники\r\n");
  ASSERT_EQ(2u, items.size());
  EXPECT_EQ("*Alpha", items[0].id);
  EXPECT_EQ("Словарь", items[0].name);
  EXPECT_EQ("Refs", items[0].category);
  EXPECT_EQ("+Refs", items[1].id);
  EXPECT_EQ("", items[1].category);
}

TEST(AccessRights, TreeHangsItemsUnderTheirCategoriesAndSortsEachLevel) {
  std::vector<RightsItem> items = {
      {"*z", "zeta", ""},        {"*b", Ru(u8"ёлка"), ""},    {"*a", Ru(u8"Ель"), ""},
      {"*x", "", ""},            {"*c", "Chess", "Board"},    {"*g", "go", "Board"},
      {"*w", "war", "Strategy"}, {"+Board", Ru(u8"Настольные"), "Strategy"},
  };
  auto tree = BuildRightsTree(items, {"*g", "+Strategy"}, "games.svm");
  // "Strategy" has no item of its own: its node is made and named after it.
  // Parents first; names case-insensitively, Latin before Cyrillic, "Ё"
  // after "Е".
  EXPECT_EQ("+Strategy:Strategy![+Board:" + Ru(u8"Настольные") + "[*c:Chess *g:go!] *w:war] *x:" + kUnnamedItem +
                " *z:zeta *a:" + Ru(u8"Ель") + " *b:" + Ru(u8"ёлка"),
            Shape(tree));
  EXPECT_EQ("games.svm", tree[0].children[0].section);
}

TEST(AccessRights, CategoryLoopsAndDeepChainsKeepEveryItem) {
  std::vector<RightsItem> loop = {{"+a", "A", "b"}, {"+b", "B", "a"}, {"+s", "S", "s"}, {"*i", "I", "a"}};
  auto tree = BuildRightsTree(loop, {}, "x.svm");
  EXPECT_EQ("+b:B[+a:A[*i:I]] +s:S", Shape(tree));

  // A chain far deeper than any real file: nothing lost, nothing overflows.
  std::vector<RightsItem> chain;
  for (int i = 0; i < 5000; ++i) chain.push_back({"+" + std::to_string(i), "c", std::to_string(i + 1)});
  EXPECT_EQ(5001u, Count(BuildRightsTree(chain, {}, "x.svm")));
}

TEST(PasswordCheck, ProblemsInTheOrderTheWindowAsks) {
  int asked = 0;
  auto valid = [&](const std::string& e) { ++asked; return e == "me@x.ru"; };
  PasswordVerdict v = CheckPasswordFields("", "zz", "", valid);
  EXPECT_EQ(PasswordProblem::kNoPassword, v.problem);
  EXPECT_TRUE(!v.clearPassword && v.clearConfirmation && v.focusPassword);
  v = CheckPasswordFields("a", "b", "bad", valid);
  EXPECT_EQ(PasswordProblem::kMismatch, v.problem);
  EXPECT_TRUE(v.clearPassword && v.clearConfirmation);
  EXPECT_EQ(PasswordProblem::kNoEmail, CheckPasswordFields("a", "a", "", valid).problem);
  EXPECT_EQ(0, asked);
  EXPECT_EQ(PasswordProblem::kInvalidEmail, CheckPasswordFields("a", "a", "b@c.d", valid).problem);
  v = CheckPasswordFields("a", "a", "me@x.ru", valid);
  EXPECT_EQ(PasswordProblem::kNone, v.problem);
  EXPECT_FALSE(v.clearPassword || v.clearConfirmation);
  EXPECT_EQ("me@x.ru", TrimmedEmail(" \tme@x.ru  "));
  EXPECT_EQ("", TrimmedEmail("   "));
}
