#include "plugin_registration.h"

#include <windows.h>

#include "file_io.h"
#include "wide.h"
#include "win_handles.h"
#include "SolvikaUtils.h"

namespace shell {

namespace {

constexpr size_t kInfoLines = 5;
constexpr char kActiveXLibraryExtension[] = ".ocx";
const char* const kInfoPatterns[] = {"*.info", "*.mxinfo"};
constexpr char kNativePluginPattern[] = "*.svx";

std::vector<std::string> SplitLines(const std::string& content) {
  std::vector<std::string> lines;
  std::string line;
  for (char c : content) {
    if (c == '\n') {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line);
      line.clear();
    } else {
      line += c;
    }
  }
  if (!line.empty()) {
    if (line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

void WriteRegistration(const PluginRegistration& r) {
  const char* s = r.section.c_str();
  SetIniString(s, "Library", r.library.c_str());
  SetIniString(s, "GUID", r.guid.c_str());
  SetIniString(s, "Section", r.group.c_str());
  SetIniString(s, "Name", r.name.c_str());
  SetIniString(s, "Version", r.version.c_str());
}

void RegisterNativePlugin(const std::string& path) {
  sv::Module plugin(LoadLibraryW(sv::Wide(path).c_str()));
  if (!plugin) return;  // a library that does not load is skipped silently
  auto registerPlugin =
      reinterpret_cast<void(__stdcall*)()>(reinterpret_cast<void*>(GetProcAddress(plugin.Get(), "RegisterPlugin")));
  if (registerPlugin) registerPlugin();
}

}  // namespace

std::optional<PluginRegistration> ReadRegistrationInfo(const std::string& fileName, const std::string& content) {
  std::vector<std::string> lines = SplitLines(content);
  if (lines.size() < kInfoLines) return std::nullopt;
  // The whole extension goes, for ".mxinfo" as for ".info".
  size_t dot = fileName.rfind('.');
  std::string base = dot == std::string::npos ? fileName : fileName.substr(0, dot);
  PluginRegistration r;
  r.section = "*" + base;
  r.guid = lines[0];
  r.library = lines[1] + kActiveXLibraryExtension;
  r.name = lines[2];
  r.group = lines[3];
  r.version = lines[4];
  return r;
}

void RegisterPlugins(const std::string& programFolder) {
  for (const char* pattern : kInfoPatterns) {
    for (const std::string& name : sv::FindNames(programFolder + pattern, sv::EntryKind::kFiles)) {
      std::string path = programFolder + name;
      std::string content;
      bool read = sv::ReadWholeFile(path, &content);
      DeleteFileW(sv::Wide(path).c_str());
      if (!read) continue;
      if (auto registration = ReadRegistrationInfo(name, content)) WriteRegistration(*registration);
    }
  }
  for (const std::string& name : sv::FindNames(programFolder + kNativePluginPattern, sv::EntryKind::kFiles))
    RegisterNativePlugin(programFolder + name);
}

}  // namespace shell
