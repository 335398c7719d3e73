#include "plugin_array.h"

#include <algorithm>

#include "decimal.h"

namespace shell {

// "<Новые>" in Windows-1251.
const char kDefaultPluginGroup[] = "<\xcd\xee\xe2\xfb\xe5>";

namespace {

constexpr char kPluginSectionMark = '*';
constexpr char kDefaultLibrary[] = ".svx";
constexpr int32_t kDefaultVersion = 0;
constexpr int32_t kDefaultNewVersion = 1;

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

bool MarkedForRestart(const sv::IniText* patchKeeper, const std::string& pluginId) {
  return patchKeeper && IniInt(*patchKeeper, kPatchKeeperSection, pluginId.c_str(), 0) != 0;
}

std::vector<ListedPlugin> BuildPluginArray(const PluginArrayInput& input) {
  std::vector<Entry> entries;
  for (const std::string& section : input.settings.SectionNames()) {
    if (section.empty() || section[0] != kPluginSectionMark) continue;
    Entry e;
    e.key = section;
    e.name = IniString(input.settings, section, "Name", PluginId(section).c_str());
    e.group = IniString(input.settings, section, "Section", kDefaultPluginGroup);
    std::string library = IniString(input.settings, section, "Library", kDefaultLibrary);
    if (!input.libraryExists || !input.libraryExists(library))
      e.status = kPluginNotInstalled;
    else if (IniInt(input.settings, section, "NewVersion", kDefaultNewVersion) >
             IniInt(input.settings, section, "Version", kDefaultVersion))
      e.status = kPluginOutdated;
    else
      e.status = kPluginReady;
    if (MarkedForRestart(input.patchKeeper, PluginId(section))) e.status = kPluginWaitingForRestart;
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
