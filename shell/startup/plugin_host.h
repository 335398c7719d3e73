// The plugin host library "TovrinPlugins.dll", bound by name at run time.
// Any entry point may be missing, and so may the library: a missing one does
// nothing and reports that no plugin is open.
#pragma once

#include <windows.h>

#include <string>

#include "sv_abi.h"
#include "win_handles.h"

namespace shell {

constexpr char kPluginHostLibrary[] = "TovrinPlugins.dll";

class PluginHost {
 public:
  // Loads the library from the program folder and looks up its entry points.
  bool Load();
  void Free();
  bool Loaded() const { return static_cast<bool>(module_); }

  // 1 when a plugin window was opened, 0 otherwise (also when already open).
  int32_t AddPlugin(const std::string& key);
  // 1 when a plugin was closed, 0 when none was open.
  int32_t CloseActivePlugin();
  std::string ActivePluginKey();
  HWND ActivePluginForm();
  void UpdateActivePlugin();
  // Closes every open plugin, one by one.
  void CloseAllPlugins();
  // Creates the plugin tab bar on `parent`.
  void CreateTabBar(HWND parent);
  // Destroys the tab bar with the windows of the plugins still open.
  void FreePlugins();

 private:
  using AddPluginFn = int32_t(SVAPI*)(const char*);
  using IntFn = int32_t(SVAPI*)();
  using GetKeyFn = void(SVAPI*)(SvStr*);
  using GetFormFn = HWND(SVAPI*)();
  using VoidFn = void(SVAPI*)();
  using CreateOnFn = void(SVAPI*)(HWND);

  sv::Module module_;
  AddPluginFn addPlugin_ = nullptr;
  IntFn closeActivePlugin_ = nullptr;
  GetKeyFn getActivePlugin_ = nullptr;
  GetFormFn getActivePluginForm_ = nullptr;
  VoidFn updateActivePlugin_ = nullptr;
  VoidFn create_ = nullptr;
  CreateOnFn create2_ = nullptr;
  VoidFn free_ = nullptr;
};

}  // namespace shell
