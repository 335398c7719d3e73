// Exports of TovrinPlugins.dll: the plugin host of the shell.
#include <windows.h>

#include "guard.h"
#include "plugin_host.h"
#include "svstring.h"
#include "win_platform.h"

namespace {

constexpr int32_t kModuleVersion = 11;

// The process's one host. Made on first use and never destroyed: at unload
// the windows it knew are gone or no longer this library's to touch.
struct Host {
  plugins::WinPlatform platform;
  plugins::PluginHost host{platform};
  Host() {
    platform.SetSelectHandler([this](int position) { host.OnTabSelected(position); });
  }
};

plugins::PluginHost& TheHost() {
  static Host* instance = new Host;
  return instance->host;
}

std::string Arg(const char* text) { return std::string(sv::Text(text)); }

}  // namespace

extern "C" {

int32_t SVAPI GetModuleVersion() { return kModuleVersion; }

int32_t SVAPI AddPlugin(const char* key) {
  return sv::Guard<int32_t>(0, [&] { return (int32_t)TheHost().AddPlugin(Arg(key)); });
}

int32_t SVAPI CloseActivePlugin() {
  return sv::Guard<int32_t>(0, [] { return (int32_t)TheHost().CloseActivePlugin(); });
}

void SVAPI GetActivePlugin(SvStr* key) {
  sv::GuardVoid([&] { sv::PutStr(key, TheHost().ActiveKey()); });
}

HWND SVAPI GetActivePluginForm() {
  return sv::Guard<HWND>(nullptr, [] { return static_cast<HWND>(TheHost().ActiveWindow()); });
}

void SVAPI UpdateActivePlugin() {
  sv::GuardVoid([] { TheHost().UpdateActivePlugin(); });
}

void SVAPI TNPluginsCreate() {
  sv::GuardVoid([] { TheHost().CreateTabBar(nullptr); });
}

void SVAPI TNPluginsCreate2(HWND parent) {
  sv::GuardVoid([&] {
    // Without a parent there is nowhere to put the bar; TNPluginsCreate is
    // the call for the main window.
    if (parent && IsWindow(parent)) TheHost().CreateTabBar(parent);
  });
}

void SVAPI TNPluginsFree() {
  sv::GuardVoid([] { TheHost().FreeTabBar(); });
}

}  // extern "C"
