#include "access_rights.h"

#include <algorithm>
#include <map>

#include "cp1251_case.h"
#include "ini_text.h"

namespace dialogs {

namespace {

constexpr char kItemMark = '*', kCategoryMark = '+';
constexpr char kListName = '#', kListCategory = '%';
constexpr char kListExtension[] = ".svm";
constexpr unsigned char kYo = 0xA8, kYe = 0xC5;  // "Ё" and "Е" in 1251

std::string_view Trimmed(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return s.substr(b, e - b);
}

// Splits at `separator`; empty pieces are kept.
std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  for (;;) {
    size_t at = text.find(separator, start);
    parts.push_back(text.substr(start, at == std::string_view::npos ? std::string_view::npos : at - start));
    if (at == std::string_view::npos) return parts;
    start = at + 1;
  }
}

// The lines of a file, trimmed, without the empty ones.
std::vector<std::string_view> TextLines(std::string_view bytes) {
  std::vector<std::string_view> lines;
  for (std::string_view line : Split(bytes, '\n'))
    if (std::string_view t = Trimmed(line); !t.empty()) lines.push_back(t);
  return lines;
}

bool OpensItem(std::string_view id) { return !id.empty() && (id[0] == kItemMark || id[0] == kCategoryMark); }

// A sort key that compares as the Russian locale orders letters: case
// folded, and "Ё" just after "Е".
std::vector<unsigned> NameKey(std::string_view name) {
  std::vector<unsigned> key;
  key.reserve(name.size());
  for (unsigned char c : name) {
    unsigned char u = sv::Upper1251(c);
    key.push_back(u == kYo ? (kYe * 2u + 1u) : u * 2u);
  }
  return key;
}

}  // namespace

std::vector<RightsModule> ParseRightsModules(std::string_view sectionsText) {
  std::vector<RightsModule> modules;
  for (std::string_view record : Split(sectionsText, '\t')) {
    size_t slash = record.rfind('/');
    if (slash == std::string_view::npos) continue;
    std::string section(record.substr(0, slash)), module(record.substr(slash + 1));
    auto known = std::find_if(modules.begin(), modules.end(), [&](const RightsModule& m) { return m.name == module; });
    if (known == modules.end()) known = modules.insert(modules.end(), RightsModule{module, {}});
    known->sections.push_back(section);
  }
  return modules;
}

std::set<std::string> ProtectedItems(std::string_view sectionText,
                                     const std::function<std::string(const std::string&)>& decode) {
  std::set<std::string> items;
  for (std::string_view line : Split(sectionText, '\t')) {
    size_t equals = line.find('=');
    if (equals == std::string_view::npos || line.size() - equals - 1 != 1) continue;
    if (line[equals + 1] == '1') items.insert(decode(std::string(line.substr(0, equals))));
  }
  return items;
}

std::vector<RightsItem> ReadListItems(std::string_view bytes) {
  std::vector<RightsItem> items;
  bool named = false, categorised = false;
  for (std::string_view line : TextLines(bytes)) {
    if (OpensItem(line)) {
      items.push_back({std::string(line), "", ""});
      named = categorised = false;
    } else if (items.empty()) {
      continue;  // lines before the first item belong to none
    } else if (line[0] == kListName && !named) {
      items.back().name = std::string(Trimmed(line.substr(1)));
      named = true;
    } else if (line[0] == kListCategory && !categorised) {
      items.back().category = std::string(Trimmed(line.substr(1)));
      categorised = true;
    }
  }
  return items;
}

std::vector<RightsItem> ReadIniItems(std::string_view bytes) {
  std::vector<RightsItem> items;
  bool inItem = false, named = false, categorised = false;
  for (std::string_view line : TextLines(bytes)) {
    if (line[0] == '[') {
      size_t close = line.find(']');
      std::string_view id = Trimmed(line.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
      inItem = OpensItem(id);
      if (inItem) items.push_back({std::string(id), "", ""});
      named = categorised = false;
      continue;
    }
    size_t equals = line.find('=');
    if (!inItem || equals == std::string_view::npos) continue;
    std::string_view key = Trimmed(line.substr(0, equals)), value = Trimmed(line.substr(equals + 1));
    if (!named && sv::SameName1251(key, "Name")) {
      items.back().name = std::string(value);
      named = true;
    } else if (!categorised && sv::SameName1251(key, "Category")) {
      items.back().category = std::string(value);
      categorised = true;
    }
  }
  return items;
}

std::vector<RightsItem> ReadRightsItems(const std::string& fileName, std::string_view bytes) {
  const size_t n = sizeof kListExtension - 1;
  const bool list = fileName.size() >= n && sv::ToLower1251(fileName.substr(fileName.size() - n)) == kListExtension;
  return list ? ReadListItems(bytes) : ReadIniItems(bytes);
}

void SortRightsLevel(std::vector<RightsNode>* level) {
  std::vector<std::pair<std::vector<unsigned>, RightsNode*>> keyed;
  for (RightsNode& node : *level) keyed.emplace_back(NameKey(node.name), &node);
  std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
    const bool aParent = !a.second->children.empty(), bParent = !b.second->children.empty();
    if (aParent != bParent) return aParent;
    return a.first < b.first;
  });
  std::vector<RightsNode> sorted;
  sorted.reserve(level->size());
  for (auto& k : keyed) sorted.push_back(std::move(*k.second));
  *level = std::move(sorted);
}

std::vector<RightsNode> BuildRightsTree(const std::vector<RightsItem>& items, const std::set<std::string>& protectedIds,
                                        const std::string& section) {
  constexpr int kTop = -1;
  constexpr int kMaxDepth = 32;
  struct Flat {
    std::string id, name, category;
    int parent = kTop;
  };
  std::vector<Flat> flat;
  std::map<std::string, int> byId;  // the first node of each id
  for (const RightsItem& item : items) {
    flat.push_back({item.id, item.name.empty() ? kUnnamedItem : item.name, item.category});
    byId.emplace(item.id, static_cast<int>(flat.size()) - 1);
  }
  // Categories the file does not describe become nodes of their own.
  for (size_t i = 0; i < flat.size(); ++i) {
    if (flat[i].category.empty()) continue;
    std::string parentId = kCategoryMark + flat[i].category;
    if (byId.count(parentId)) continue;
    std::string name = flat[i].category;
    flat.push_back({parentId, name, ""});
    byId.emplace(parentId, static_cast<int>(flat.size()) - 1);
  }
  // Parents in order; an edge that would close a loop is not made, so every
  // chain ends at the top and each walk up terminates.
  for (size_t i = 0; i < flat.size(); ++i) {
    if (flat[i].category.empty()) continue;
    int parent = byId.at(kCategoryMark + flat[i].category);
    bool loop = false;
    for (int up = parent; up != kTop && !loop; up = flat[up].parent) loop = up == static_cast<int>(i);
    if (!loop) flat[i].parent = parent;
  }
  std::vector<std::vector<int>> childrenOf(flat.size());
  std::vector<int> top;
  for (size_t i = 0; i < flat.size(); ++i)
    (flat[i].parent == kTop ? top : childrenOf[flat[i].parent]).push_back(static_cast<int>(i));

  auto leaf = [&](int i) { return RightsNode{flat[i].id, flat[i].name, section, protectedIds.count(flat[i].id) > 0, {}}; };
  // Nodes nested deeper than any real file does hold all their descendants
  // as one level, so that the recursion (here and in the tree view) stays
  // short whatever the file says.
  std::function<RightsNode(int, int)> make = [&](int i, int depth) {
    RightsNode node = leaf(i);
    if (depth < kMaxDepth) {
      for (int c : childrenOf[i]) node.children.push_back(make(c, depth + 1));
    } else {
      std::vector<int> pending(childrenOf[i].begin(), childrenOf[i].end());
      while (!pending.empty()) {
        int c = pending.back();
        pending.pop_back();
        node.children.push_back(leaf(c));
        pending.insert(pending.end(), childrenOf[c].begin(), childrenOf[c].end());
      }
    }
    SortRightsLevel(&node.children);
    return node;
  };
  std::vector<RightsNode> roots;
  for (int i : top) roots.push_back(make(i, 0));
  SortRightsLevel(&roots);
  return roots;
}

}  // namespace dialogs
