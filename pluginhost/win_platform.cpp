#include "win_platform.h"

#include <windows.h>

#include "activex_form.h"
#include "app.h"
#include "main_window.h"
#include "native_plugin.h"
#include "plugin_texts.h"
#include "svstring.h"
#include "system_calls.h"

namespace plugins {

namespace {

HWND AsWindow(WindowRef window) { return static_cast<HWND>(window); }

// The icon a plugin window shows, for its tab: its own, else its class's,
// else the application's.
HICON WindowIcon(HWND window) {
  HICON icon = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_SMALL, 0));
  if (!icon) icon = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_BIG, 0));
  if (!icon) icon = reinterpret_cast<HICON>(GetClassLongPtrW(window, GCLP_HICONSM));
  if (!icon) icon = reinterpret_cast<HICON>(GetClassLongPtrW(window, GCLP_HICON));
  return icon ? icon : ui::ApplicationIcon();
}

}  // namespace

bool WinPlatform::AccessGranted(const std::string& key) { return PFGetAccess(kAccessModule, key.c_str()) != 0; }

std::string WinPlatform::ReadSetting(const std::string& key, const char* name) {
  return sv::TakeOut([&](SvStr* out) { GetIniString(out, key.c_str(), name, ""); });
}

OpenedPlugin WinPlatform::OpenNative(const std::string& key, const std::string& library,
                                     const std::string& display_name) {
  return OpenNativePlugin(key, library, display_name);
}

OpenedPlugin WinPlatform::OpenActiveX(const std::string& key, const std::string& library, const std::string& guid,
                                      const std::string& display_name) {
  OpenedPlugin opened;
  opened.window = OpenActiveXPlugin(key, library, guid, display_name);
  return opened;
}

bool WinPlatform::CreateTabBar(WindowRef parent, bool with_button) {
  HWND owner = parent ? AsWindow(parent) : ui::MainWindow();
  bar_ = TabBar::Create(owner, with_button, [this](int position) {
    if (on_select_) on_select_(position);
  });
  return bar_ != nullptr;
}

void WinPlatform::DestroyTabBar() { bar_.reset(); }

int WinPlatform::AppendTab(const std::string& caption, WindowRef window) {
  return bar_ && bar_->Handle() ? bar_->Append(caption, WindowIcon(AsWindow(window))) : kNoImage;
}

void WinPlatform::DeleteTab(int position, int image) {
  if (bar_ && bar_->Handle()) bar_->Delete(position, image);
}

void WinPlatform::SetTabImage(int position, int image) {
  if (bar_ && bar_->Handle()) bar_->SetImage(position, image);
}

void WinPlatform::SelectTab(int position) {
  if (bar_ && bar_->Handle()) bar_->Select(position);
}

void WinPlatform::ShowPluginWindow(WindowRef window) {
  HWND plugin = AsWindow(window);
  if (!IsWindow(plugin)) return;
  if (!IsWindowVisible(plugin)) ShowWindow(plugin, SW_SHOW);
  if (IsMdiChild(window)) {
    HWND client = GetParent(plugin);
    if (IsIconic(plugin)) SendMessageW(client, WM_MDIRESTORE, reinterpret_cast<WPARAM>(plugin), 0);
    SendMessageW(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(plugin), 0);
  } else {
    SetWindowPos(plugin, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(plugin);
  }
}

void WinPlatform::DestroyPluginWindow(WindowRef window) {
  HWND plugin = AsWindow(window);
  if (!IsWindow(plugin)) return;
  // The MDI client keeps its own list of children: it destroys them itself.
  if (IsMdiChild(window)) {
    SendMessageW(GetParent(plugin), WM_MDIDESTROY, reinterpret_cast<WPARAM>(plugin), 0);
  } else {
    DestroyWindow(plugin);
  }
}

void WinPlatform::FreePluginLibrary(ModuleRef module) { FreeLibrary(static_cast<HMODULE>(module)); }

bool WinPlatform::IsActiveWindow(WindowRef window) {
  HWND plugin = AsWindow(window);
  if (!IsWindow(plugin)) return false;
  if (IsMdiChild(window)) {
    return reinterpret_cast<HWND>(SendMessageW(GetParent(plugin), WM_MDIGETACTIVE, 0, 0)) == plugin;
  }
  return GetActiveWindow() == plugin;
}

bool WinPlatform::IsMdiChild(WindowRef window) {
  HWND plugin = AsWindow(window);
  return IsWindow(plugin) && (GetWindowLongPtrW(plugin, GWL_EXSTYLE) & WS_EX_MDICHILD) != 0;
}

}  // namespace plugins
