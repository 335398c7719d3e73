// The list of plugins the main window shows: every settings section whose
// name begins with "*", grouped and sorted, with a header before each group.
// Plain logic over a snapshot of the settings, tested without files.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ini_text.h"

namespace shell {

enum PluginStatus : uint8_t {
  kPluginReady = 0,
  kPluginOutdated = 1,
  kPluginNotInstalled = 2,
  kPluginWaitingForRestart = 3,
  kPluginGroupHeader = 255,
};

struct ListedPlugin {
  std::string name;  // display name, or the group name of a header
  std::string key;   // settings section; empty for a header
  uint8_t status = kPluginReady;
  int imageIndex = -1;
};

// 1251 text, as the settings hold it: "<Новые>".
extern const char kDefaultPluginGroup[];
// The catalogue's list of plugins waiting for a restart, in the program folder.
constexpr char kPatchKeeperUpdates[] = "PatchKeeper.upd";
// The section of the catalogue's restart marks in it.
constexpr char kPatchKeeperSection[] = "PatchKeeper";

// The plugin id: the key without its leading "*".
std::string PluginId(const std::string& key);

// A settings value as the settings store reads it: the default when the key
// is missing or empty; integers read from the leading decimal digits.
std::string IniString(const sv::IniText& ini, const std::string& section, const char* key, const char* def);
int32_t IniInt(const sv::IniText& ini, const std::string& section, const char* key, int32_t def);
std::string IniString(const sv::IniSection& section, const char* key, const char* def);
int32_t IniInt(const sv::IniSection& section, const char* key, int32_t def);

// Whether the catalogue marked the plugin as waiting for a restart.
bool MarkedForRestart(const sv::IniText* patchKeeper, const std::string& pluginId);

struct PluginArrayInput {
  const sv::IniText& settings;              // "Tovrin.ini"
  const sv::IniText* patchKeeper = nullptr;  // "PatchKeeper.upd", null when missing
  // Whether a library file (relative to the program folder) exists.
  std::function<bool(const std::string& library)> libraryExists;
  // The Russian-aware comparison: <0, 0, >0.
  std::function<int(const std::string&, const std::string&)> compare;
};

std::vector<ListedPlugin> BuildPluginArray(const PluginArrayInput& input);

}  // namespace shell
