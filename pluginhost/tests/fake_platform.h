// A HostPlatform that plays the system from tables and records, in order,
// every side effect the host asks for, so that the host's decisions can be
// checked without windows. Windows and libraries are small numbers.
#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "host_platform.h"

namespace plugintest {

inline plugins::WindowRef W(int n) { return reinterpret_cast<plugins::WindowRef>((intptr_t)n); }
inline plugins::ModuleRef M(int n) { return reinterpret_cast<plugins::ModuleRef>((intptr_t)n); }

class FakePlatform : public plugins::HostPlatform {
 public:
  // Settings by section and key; keys without an entry are refused access.
  std::map<std::string, std::map<std::string, std::string>> settings;
  std::set<std::string> refused;
  // What opening a key gives; keys without an entry give nothing.
  std::map<std::string, plugins::OpenedPlugin> opens;
  // Called inside an open, to play what other code does meanwhile.
  std::function<void(const std::string& key)> during_open;
  plugins::WindowRef active = nullptr;
  std::set<plugins::WindowRef> mdi_children;
  bool bar_can_be_made = true;
  int next_image = 0;

  std::vector<std::string> calls;
  int access_asked = 0;

  bool AccessGranted(const std::string& key) override {
    ++access_asked;
    return refused.count(key) == 0;
  }
  std::string ReadSetting(const std::string& key, const char* name) override {
    auto section = settings.find(key);
    if (section == settings.end()) return "";
    auto value = section->second.find(name);
    return value == section->second.end() ? "" : value->second;
  }
  plugins::OpenedPlugin OpenNative(const std::string& key, const std::string& library,
                                   const std::string& caption) override {
    calls.push_back("native " + library + " " + caption);
    return Opened(key);
  }
  plugins::OpenedPlugin OpenActiveX(const std::string& key, const std::string& library, const std::string& guid,
                                    const std::string& caption) override {
    calls.push_back("activex " + library + " " + guid + " " + caption);
    return Opened(key);
  }
  bool CreateTabBar(plugins::WindowRef parent, bool with_button) override {
    calls.push_back(std::string("bar") + (with_button ? " with button" : "") + (parent ? " on parent" : ""));
    return bar_can_be_made;
  }
  void DestroyTabBar() override { calls.push_back("destroy bar"); }
  int AppendTab(const std::string& caption, plugins::WindowRef window) override {
    calls.push_back("tab " + caption + " " + Name(window));
    return next_image++;
  }
  void DeleteTab(int position, int image) override {
    calls.push_back("delete tab " + std::to_string(position) + " image " + std::to_string(image));
  }
  void SetTabImage(int position, int image) override {
    calls.push_back("image " + std::to_string(position) + "=" + std::to_string(image));
  }
  void SelectTab(int position) override { calls.push_back("select " + std::to_string(position)); }
  void ShowPluginWindow(plugins::WindowRef window) override { calls.push_back("show " + Name(window)); }
  void DestroyPluginWindow(plugins::WindowRef window) override { calls.push_back("destroy " + Name(window)); }
  void FreePluginLibrary(plugins::ModuleRef module) override {
    calls.push_back("free m" + std::to_string((intptr_t)module));
  }
  bool IsActiveWindow(plugins::WindowRef window) override { return window == active; }
  bool IsMdiChild(plugins::WindowRef window) override { return mdi_children.count(window) != 0; }

  // The calls since the last look, and forgets them.
  std::vector<std::string> Take() {
    std::vector<std::string> taken;
    taken.swap(calls);
    return taken;
  }

 private:
  static std::string Name(plugins::WindowRef window) { return "w" + std::to_string((intptr_t)window); }
  plugins::OpenedPlugin Opened(const std::string& key) {
    if (during_open) during_open(key);
    auto found = opens.find(key);
    return found == opens.end() ? plugins::OpenedPlugin{} : found->second;
  }
};

}  // namespace plugintest
