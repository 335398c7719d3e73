// Opening a native plugin library (id.svx): load it, find RunPlugin, let it
// make its window. Failures show the error boxes the user knows and open
// nothing.
#pragma once

#include <string>

#include "host_platform.h"

namespace plugins {

// `library` is the "Library" setting, relative to the program folder.
OpenedPlugin OpenNativePlugin(const std::string& key, const std::string& library, const std::string& caption);

// The error box of a plugin that could not be opened: the application title
// as caption, OK, error icon.
void ShowPluginError(const std::string& text);

// The full path of a library setting: relative names are taken in the
// program folder.
std::string LibraryPath(const std::string& library);

}  // namespace plugins
