// Plugin registration at start and on reload: ActiveX plugins arrive with a
// registration info file ("<id>.info" or "<id>.mxinfo": GUID, library base
// name, display name, group, version, one per line) that is turned into their
// settings section and deleted; native plugins ("*.svx") register themselves
// through their RegisterPlugin export.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace shell {

struct PluginRegistration {
  std::string section;  // "*" + the file name without its extension
  std::string library;  // line 2 + ".ocx"
  std::string guid;     // line 1
  std::string group;    // line 4 ("Section")
  std::string name;     // line 3
  std::string version;  // line 5
};

// What an info file of `fileName` with `content` registers; nothing when it
// has fewer than five lines.
std::optional<PluginRegistration> ReadRegistrationInfo(const std::string& fileName, const std::string& content);

// Registers every info file and every native plugin of the program folder.
void RegisterPlugins(const std::string& programFolder);

}  // namespace shell
