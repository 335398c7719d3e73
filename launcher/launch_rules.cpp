#include "launch_rules.h"

#include <algorithm>

namespace launcher {

namespace {

constexpr std::string_view kApplicationClass = "TApplication";
constexpr std::string_view kOlderApplicationClass = "TSolvikaApplication";
constexpr std::string_view kApplicationTitlePrefix = "Solvika";

constexpr wchar_t kLauncherName[] = L"Solvika.exe";

}  // namespace

Mode ModeOf(const std::vector<std::string>& args) {
  if (args.empty()) return Mode::kNormalStart;
  const std::string& first = args.front();
  if (first == kCloseAllSwitch) return Mode::kCloseAll;
  if (first == kUpdateSwitch) return Mode::kUpdate;
  if (first == kCloseAndStartSwitch) return Mode::kCloseAndStart;
  return Mode::kNormalStart;
}

bool AllowsMultipleInstances(const std::vector<std::string>& args) {
  return std::find(args.begin(), args.end(), kMultipleInstancesSwitch) != args.end();
}

bool IsCloseAllCandidate(std::string_view title, std::string_view window_class) {
  if (window_class == kOlderApplicationClass) return true;
  return window_class == kApplicationClass &&
         title.substr(0, kApplicationTitlePrefix.size()) == kApplicationTitlePrefix;
}

std::wstring JoinLegacyArguments(const std::vector<std::wstring>& args) {
  std::wstring joined;
  for (const std::wstring& arg : args) {
    joined += L' ';
    joined += arg;
  }
  if (!joined.empty()) joined.erase(0, 1);  // the space before the first argument
  return joined;
}

std::wstring LegacyTargetPath(std::wstring_view own_path) {
  size_t slash = own_path.rfind(L'\\');
  std::wstring folder(slash == std::wstring_view::npos ? std::wstring_view() : own_path.substr(0, slash + 1));
  return folder + kLauncherName;
}

}  // namespace launcher
