// What the plugin host asks of the system: settings and access, loading a
// plugin and getting its window, the tab bar window, and the plugin windows
// and libraries themselves. The Win32 implementation is win_platform.h; tests
// of the host's decisions use a recording one.
#pragma once

#include <string>

#include "tab_list.h"

namespace plugins {

// What opening a plugin produced: its window (null: nothing opened) and the
// library the tab keeps loaded (null for an ActiveX plugin, whose container
// window owns its control library).
struct OpenedPlugin {
  WindowRef window = nullptr;
  ModuleRef module = nullptr;
};

class HostPlatform {
 public:
  virtual ~HostPlatform() = default;

  // The access control's answer for the key (it may ask for the password).
  virtual bool AccessGranted(const std::string& key) = 0;
  // A value of the plugin's section, empty when missing.
  virtual std::string ReadSetting(const std::string& key, const char* name) = 0;

  // Loads a native plugin and runs it. Shows the error boxes itself; a
  // library that gives no window is freed again before this returns.
  virtual OpenedPlugin OpenNative(const std::string& key, const std::string& library,
                                  const std::string& display_name) = 0;
  // Creates the container window and the control of an ActiveX plugin.
  virtual OpenedPlugin OpenActiveX(const std::string& key, const std::string& library, const std::string& guid,
                                   const std::string& display_name) = 0;

  // The tab bar window. `parent` null means the application's main window.
  virtual bool CreateTabBar(WindowRef parent, bool with_button) = 0;
  virtual void DestroyTabBar() = 0;
  // Appends a tab showing the window's icon; returns the icon's image index
  // or kNoImage.
  virtual int AppendTab(const std::string& caption, WindowRef window) = 0;
  // Deletes the tab at `position` and, when `image` is not kNoImage, its icon.
  virtual void DeleteTab(int position, int image) = 0;
  virtual void SetTabImage(int position, int image) = 0;
  virtual void SelectTab(int position) = 0;

  // Shows a plugin window and brings it to the front.
  virtual void ShowPluginWindow(WindowRef window) = 0;
  virtual void DestroyPluginWindow(WindowRef window) = 0;
  virtual void FreePluginLibrary(ModuleRef module) = 0;
  virtual bool IsActiveWindow(WindowRef window) = 0;
  virtual bool IsMdiChild(WindowRef window) = 0;
};

}  // namespace plugins
