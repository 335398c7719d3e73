// The texts of the report window: the block of system information, the
// error-log framing of header and details, and the server path of each mode.
// Plain code over gathered facts, so that it is tested without a window.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace dialogs {

enum ReportMode { kErrorLog = 0, kLetter = 1, kPaySupport = 2 };

constexpr size_t kUserTextLimit = 1000;

struct SystemFacts {
  std::string activePlugin;  // caption of the active plugin window, or empty
  std::string programVersion, clientNumber;
  std::string windowsVersion, windowsBuild, servicePack;
  std::string browserVersion;
  std::string programFolder;
  std::vector<std::string> runningPlugins;                      // captions of the plugin windows
  std::vector<std::pair<std::string, std::string>> plugins;     // name, version text
  std::vector<std::pair<std::string, int>> libraries;           // file name, module version
  int patchKeeperVersion = 0;
};

// The facts of this process and program folder.
SystemFacts GatherSystemFacts();
std::string SystemText(const SystemFacts& facts);
// The error log's system text: "Ошибка:" block in front, debug details behind.
std::string ErrorLogText(const std::string& systemText, const std::string& header, const std::string& details);
// Path and query of a send; e-mail and ICQ number URL-encoded by the caller.
std::string ReportPath(ReportMode mode, const std::string& clientId, const std::string& email, const std::string& icq);

}  // namespace dialogs
