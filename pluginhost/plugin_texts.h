// What a plugin's settings section means to the host, and the texts of the
// boxes shown when a plugin cannot be opened. Plain code: no Windows calls, so
// that every rule here is tested without a window.
#pragma once

#include <string>

namespace plugins {

// Keys of a plugin's section in "Tovrin.ini".
constexpr char kLibraryKey[] = "Library";
constexpr char kGuidKey[] = "GUID";
constexpr char kNameKey[] = "Name";

// The module name under which the access control keeps the plugins.
constexpr char kAccessModule[] = "Plugins";

// The display name of a section without one: "(Без имени)".
std::string DisplayName(const std::string& name_setting);

// Only the exact lower-case ending ".ocx" marks an ActiveX plugin; ".OCX" is
// loaded as a native plugin.
bool IsActiveXLibrary(const std::string& library);

// The plugin id: the key without its leading "*" (the base name of the
// plugin's files: id.svx, id.ico).
std::string PluginId(const std::string& key);

// Texts of the error boxes of a native plugin.
std::string LoadFailureText(const std::string& display_name, const std::string& library);
std::string EntryPointFailureText(const std::string& display_name, const std::string& library);

// Texts of the error boxes of an ActiveX plugin.
std::string ActiveXMissingLibraryText(const std::string& library);
std::string ActiveXLoadFailureText(const std::string& library);
std::string ActiveXEntryPointText(const std::string& library);
std::string ActiveXRegistrationText();

}  // namespace plugins
