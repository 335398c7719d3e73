// The plugin host: which plugins are open, in which tab order, and what
// opening, activating and closing one does. One instance per process; every
// side effect goes through its HostPlatform.
#pragma once

#include <string>

#include "host_platform.h"
#include "tab_list.h"

namespace plugins {

class PluginHost {
 public:
  explicit PluginHost(HostPlatform& platform) : platform_(platform) {}
  PluginHost(const PluginHost&) = delete;
  PluginHost& operator=(const PluginHost&) = delete;

  // 1 when a new plugin was opened; 0 when the key was open already (it is
  // activated), access was refused or the plugin could not be opened.
  int AddPlugin(const std::string& key);
  // 1 when the active plugin was closed, 0 without one.
  int CloseActivePlugin();
  // Key and window of the active plugin; empty / null without one.
  std::string ActiveKey() const;
  WindowRef ActiveWindow() const;
  // Selects the active plugin's tab again and brings its window to the front.
  void UpdateActivePlugin();

  // Makes the tab bar with its left button on `parent` (null: the main
  // window); nothing when a tab bar exists.
  void CreateTabBar(WindowRef parent);
  // Closes every tab and destroys the tab bar.
  void FreeTabBar();

  // The user selected the tab at `position` with the mouse.
  void OnTabSelected(int position);

  void Activate(const std::string& key);
  void Close(const std::string& key);

  const TabList& Tabs() const { return tabs_; }
  bool HasTabBar() const { return bar_ != TabBarKind::kNone; }

 private:
  enum class TabBarKind { kNone, kOnDemand, kWithButton };

  // True when a new tab was added.
  bool Open(const std::string& key);
  void AddTab(const std::string& key, const std::string& caption, const OpenedPlugin& opened);
  void CloseAt(int position);
  int ActivePosition() const;

  HostPlatform& platform_;
  TabList tabs_;
  TabBarKind bar_ = TabBarKind::kNone;
};

}  // namespace plugins
