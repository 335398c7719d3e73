// The questions the main window asks before it opens a listed plugin or
// restarts after an update, as 1251 texts ("\r" breaks a line).
#pragma once

#include <string>

namespace shell {

// A plugin the catalogue installed waits for the program's restart.
std::string RestartQuestion(const std::string& pluginName);
// A newer version of the plugin is known.
std::string NewVersionQuestion(const std::string& pluginName);
// The plugin's library is not in the program folder.
std::string InstallQuestion(const std::string& pluginName);
// An update download finished; `jobName` may be empty.
std::string UpdateFinishedQuestion(const std::string& jobName);

}  // namespace shell
