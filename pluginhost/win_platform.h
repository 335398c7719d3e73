// The host's platform on Win32: settings through the utility library, access
// through the access control, plugin windows as MDI children of the main
// window, and the tab bar window.
#pragma once

#include <memory>

#include "host_platform.h"
#include "tab_bar.h"

namespace plugins {

class WinPlatform : public HostPlatform {
 public:
  // `on_select` is told when the user selects a tab of the tab bar.
  void SetSelectHandler(TabBar::SelectHandler on_select) { on_select_ = std::move(on_select); }
  HWND TabBarWindow() const { return bar_ ? bar_->Handle() : nullptr; }

  bool AccessGranted(const std::string& key) override;
  std::string ReadSetting(const std::string& key, const char* name) override;
  OpenedPlugin OpenNative(const std::string& key, const std::string& library, const std::string& display_name) override;
  OpenedPlugin OpenActiveX(const std::string& key, const std::string& library, const std::string& guid,
                           const std::string& display_name) override;
  bool CreateTabBar(WindowRef parent, bool with_button) override;
  void DestroyTabBar() override;
  int AppendTab(const std::string& caption, WindowRef window) override;
  void DeleteTab(int position, int image) override;
  void SetTabImage(int position, int image) override;
  void SelectTab(int position) override;
  void ShowPluginWindow(WindowRef window) override;
  void DestroyPluginWindow(WindowRef window) override;
  void FreePluginLibrary(ModuleRef module) override;
  bool IsActiveWindow(WindowRef window) override;
  bool IsMdiChild(WindowRef window) override;

 private:
  std::unique_ptr<TabBar> bar_;
  TabBar::SelectHandler on_select_;
};

}  // namespace plugins
