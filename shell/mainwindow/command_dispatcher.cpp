#include "command_dispatcher.h"

#include "wide.h"

namespace shell {

std::string SubscriptionAction(int code) {
  switch (code) {
    case 31: return "pay";
    case 33: return "log";
    case 34: return "register";
    case 35: return "adv";
    case 36: return "free";
    case 37: return "zuser";
    case 38: return "zmaster";
    default: return "info";
  }
}

std::string SubscriptionUrl(const std::string& pageAddress, int code, const std::string& clientParam) {
  return pageAddress + "?a=" + SubscriptionAction(code) + "&p=" + clientParam;
}

DispatchPlan PlanCommand(int code, const std::string& pageAddress, const std::string& clientParam) {
  DispatchPlan plan;
  if (code == kCommandOpenCatalogue) {
    plan.kind = DispatchPlan::Kind::kOpenCatalogue;
    plan.pluginKey = kCatalogueKey;
    plan.writes = {{kCatalogueKey, "Name", sv::Ru(u8"Мастер обновлений")},
                   {kCatalogueKey, "Library", kCatalogueLibrary}};
  } else if (code == kCommandRefreshCatalogue) {
    plan.kind = DispatchPlan::Kind::kRefreshCatalogue;
  } else if (code == kCommandOpenDownloads) {
    plan.kind = DispatchPlan::Kind::kOpenPlugin;
    plan.pluginKey = kDownloadsKey;
    plan.writes = {{kDownloadsKey, "Name", sv::Ru(u8"Мастер закачек")}, {kDownloadsKey, "Library", kDownloadsLibrary}};
  } else if (code >= kFirstSubscriptionCommand && code <= kLastSubscriptionCommand) {
    plan.kind = DispatchPlan::Kind::kReopenPlugin;
    plan.pluginKey = kSubscriptionKey;
    std::string title = sv::Ru(u8"Мой абонемент");
    plan.writes = {{kSubscriptionKey, "Library", kBrowserLibrary},
                   {kSubscriptionKey, "Name", title},
                   {kSubscriptionKey, "Topic", title},
                   {kSubscriptionKey, "URL", SubscriptionUrl(pageAddress, code, clientParam)}};
  }
  return plan;
}

}  // namespace shell
