#include "plugin_array.h"

#include <algorithm>
#include <unordered_map>

#include "cp1251_case.h"
#include "decimal.h"

namespace shell {

// "<Новые>" in Windows-1251.
const char kDefaultPluginGroup[] = "<\xcd\xee\xe2\xfb\xe5>";

namespace {

constexpr char kPluginSectionMark = '*';
constexpr char kDefaultLibrary[] = ".svx";
constexpr int32_t kDefaultVersion = 0;
constexpr int32_t kDefaultNewVersion = 1;

// The name as section lookups compare it.
std::string UpperName(const std::string& name) { return sv::ToUpper1251(name); }

struct Entry {
  std::string name, group, key;
  uint8_t status;
};

}  // namespace

std::string PluginId(const std::string& key) {
  return !key.empty() && key[0] == kPluginSectionMark ? key.substr(1) : key;
}

std::string IniString(const sv::IniText& ini, const std::string& section, const char* key, const char* def) {
  std::string value;
  if (!ini.Find(section, key, &value) || value.empty()) return def;
  return value;
}

int32_t IniInt(const sv::IniText& ini, const std::string& section, const char* key, int32_t def) {
  std::string value;
  if (!ini.Find(section, key, &value) || value.empty()) return def;
  return static_cast<int32_t>(sv::ParseDecimal(value));
}

std::string IniString(const sv::IniSection& section, const char* key, const char* def) {
  std::string value;
  if (!section.Find(key, &value) || value.empty()) return def;
  return value;
}

int32_t IniInt(const sv::IniSection& section, const char* key, int32_t def) {
  std::string value;
  if (!section.Find(key, &value) || value.empty()) return def;
  return static_cast<int32_t>(sv::ParseDecimal(value));
}

bool MarkedForRestart(const sv::IniText* patchKeeper, const std::string& pluginId) {
  return patchKeeper && IniInt(*patchKeeper, kPatchKeeperSection, pluginId.c_str(), 0) != 0;
}

std::vector<ListedPlugin> BuildPluginArray(const PluginArrayInput& input) {
  std::vector<Entry> entries;
  // One pass over the file; where a section name repeats, its values come
  // from the first section of that name, as every lookup of the name gives.
  std::vector<sv::IniSection> sections = input.settings.Sections();
  std::unordered_map<std::string, const sv::IniSection*> firstOfName;
  for (const sv::IniSection& section : sections) {
    const sv::IniSection* first = firstOfName.emplace(UpperName(section.name), &section).first->second;
    const std::string& name = section.name;
    if (name.empty() || name[0] != kPluginSectionMark) continue;
    Entry e;
    e.key = name;
    e.name = IniString(*first, "Name", PluginId(name).c_str());
    e.group = IniString(*first, "Section", kDefaultPluginGroup);
    std::string library = IniString(*first, "Library", kDefaultLibrary);
    if (!input.libraryExists || !input.libraryExists(library))
      e.status = kPluginNotInstalled;
    else if (IniInt(*first, "NewVersion", kDefaultNewVersion) > IniInt(*first, "Version", kDefaultVersion))
      e.status = kPluginOutdated;
    else
      e.status = kPluginReady;
    if (MarkedForRestart(input.patchKeeper, PluginId(name))) e.status = kPluginWaitingForRestart;
    entries.push_back(std::move(e));
  }
  auto compare = input.compare ? input.compare : [](const std::string& a, const std::string& b) {
    return a.compare(b);
  };
  std::stable_sort(entries.begin(), entries.end(), [&](const Entry& a, const Entry& b) {
    int byGroup = compare(a.group, b.group);
    return byGroup != 0 ? byGroup < 0 : compare(a.name, b.name) < 0;
  });

  std::vector<ListedPlugin> array;
  const std::string* group = nullptr;
  for (const Entry& e : entries) {
    if (!group || *group != e.group) {
      array.push_back({e.group, std::string(), kPluginGroupHeader, -1});
      group = &e.group;
    }
    array.push_back({e.name, e.key, e.status, -1});
  }
  return array;
}

}  // namespace shell
