// The shell's command dispatcher (WM_SHELL_COMMAND 102): what each command
// code writes into the settings and which built-in plugin it opens. Plain
// decisions; the main window carries them out.
#pragma once

#include <string>
#include <vector>

namespace shell {

constexpr int kCommandOpenCatalogue = 10;
constexpr int kCommandRefreshCatalogue = 13;
constexpr int kCommandOpenDownloads = 20;
constexpr int kFirstSubscriptionCommand = 30;
constexpr int kLastSubscriptionCommand = 39;

constexpr char kCatalogueKey[] = "PatchKeeper";
constexpr char kCatalogueLibrary[] = "PatchKeeper.svx";
constexpr char kDownloadsKey[] = "FetchKeeper";
constexpr char kDownloadsLibrary[] = "FetchKeeper.svx";
constexpr char kSubscriptionKey[] = "SVSubscription";
constexpr char kBrowserLibrary[] = "SVBrowser.svx";

struct SettingWrite {
  std::string section, key, value;
};

struct DispatchPlan {
  enum class Kind {
    kNone,              // unknown code: nothing, no success
    kOpenCatalogue,     // open it; if already open, refresh it
    kRefreshCatalogue,  // refresh the loaded catalogue with no window; never success
    kOpenPlugin,        // open `pluginKey`; success is what the host reports
    kReopenPlugin,      // the same, but a plugin open under the key opens anew
  };
  Kind kind = Kind::kNone;
  std::vector<SettingWrite> writes;  // before the plugin opens
  std::string pluginKey;
};

// The subscription page's action for a code of 30 to 39 ("pay", "log", …).
std::string SubscriptionAction(int code);
// The page's address: `pageAddress` + "?a=" + action + "&p=" + `clientParam`.
std::string SubscriptionUrl(const std::string& pageAddress, int code, const std::string& clientParam);

// `pageAddress` and `clientParam` are used only by the subscription codes.
DispatchPlan PlanCommand(int code, const std::string& pageAddress, const std::string& clientParam);

}  // namespace shell
