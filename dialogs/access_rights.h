// What the rights editor shows, without a window: the modules and their
// section identifiers from the access library's list, the protected items of
// a module section, the items of a module's description file (".svm" list or
// INI text) and the tree they make, categories and order included.
#pragma once

#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace dialogs {

constexpr char kUnnamedItem[] = "<\xC1\xE5\xE7 \xE8\xEC\xE5\xED\xE8>";  // "<Без имени>" in 1251

// One tab of the rights editor: a module and the section identifiers it
// registered, in the order the access library lists them.
struct RightsModule {
  std::string name;
  std::vector<std::string> sections;
};

// Records "section/module" separated by tabs; one entry per module, in the
// order of its first record. The section identifier is a file name that may
// hold "/" itself, the module name is a plain name, so a record splits at
// its last "/"; a record without one is skipped.
std::vector<RightsModule> ParseRightsModules(std::string_view sectionsText);

// The protected item ids of a module section: its lines "stored=value"
// separated by tabs; a line whose value is one character counts, and
// protects the item `decode(stored)` when that character is "1".
std::set<std::string> ProtectedItems(std::string_view sectionText,
                                     const std::function<std::string(const std::string&)>& decode);

// One item of a description file: id ("*" for an item, "+" for a category),
// display name (empty: none given) and category (empty: none).
struct RightsItem {
  std::string id, name, category;
};

// Items of a ".svm" list: a line starting with "*" or "+" opens an item with
// that line as id; "#" gives its name, "%" its category (the first of each).
std::vector<RightsItem> ReadListItems(std::string_view bytes);
// Items of an INI text: sections whose name starts with "*" or "+", with the
// first "Name" and "Category" keys.
std::vector<RightsItem> ReadIniItems(std::string_view bytes);
// The reader the file name asks for (".svm" in any case: the list).
std::vector<RightsItem> ReadRightsItems(const std::string& fileName, std::string_view bytes);

// A node of the rights tree.
struct RightsNode {
  std::string id, name;
  std::string section;  // the section identifier whose file holds the item
  bool isProtected = false;
  std::vector<RightsNode> children;
};

// The tree of one file's items: an item with category c hangs under the node
// "+c", which is made (named after the file's item "+c", else c) when the file
// has none; a category that would hang under itself, directly or through
// others, stays at the top. Every level is sorted (see SortRightsLevel).
std::vector<RightsNode> BuildRightsTree(const std::vector<RightsItem>& items, const std::set<std::string>& protectedIds,
                                        const std::string& section);

// Nodes with children first, then by name, case-insensitively in Russian
// order ("Ё" after "Е"); equal names keep their order.
void SortRightsLevel(std::vector<RightsNode>* level);

}  // namespace dialogs
