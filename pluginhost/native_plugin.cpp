#include "native_plugin.h"

#include <windows.h>

#include <vector>

#include "app.h"
#include "contained_call.h"
#include "file_io.h"
#include "main_window.h"
#include "message_box.h"
#include "plugin_texts.h"
#include "svstring.h"
#include "text.h"
#include "wide.h"
#include "win_handles.h"

namespace plugins {

namespace {

using RunPluginEntry = HWND(SVAPI*)(const char* key, HWND application);
constexpr char kRunPluginName[] = "RunPlugin";

bool IsAbsolute(const std::string& path) {
  return (path.size() >= 2 && path[1] == ':') || (!path.empty() && (path[0] == '\\' || path[0] == '/'));
}

struct RunPluginCall {
  RunPluginEntry run;
  SvStr key;
  HWND application;
  HWND window;
};

void RunPluginBody(void* context) {
  auto* call = static_cast<RunPluginCall*>(context);
  call->window = call->run(call->key, call->application);
}

// A plugin that crashes inside RunPlugin has given no window.
HWND CallRunPlugin(RunPluginEntry run, const std::string& key, HWND application) {
  sv::OwnedStr key_argument(key);
  RunPluginCall call = {run, key_argument.Get(), application, nullptr};
  if (!CallContained(RunPluginBody, &call)) return nullptr;
  return call.window && IsWindow(call.window) ? call.window : nullptr;
}

struct ModuleWindows {
  HMODULE module;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectModuleWindow(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<ModuleWindows*>(param);
  if (reinterpret_cast<HMODULE>(GetClassLongPtrW(window, GCLP_HMODULE)) == search->module)
    search->found.push_back(window);
  return TRUE;
}

// Destroys what a plugin that gave no window has left behind of its own
// classes (MDI children, windows of this thread): their procedures are code
// of the library about to be freed.
void DestroyWindowsOf(HMODULE module) {
  ModuleWindows search = {module, {}};
  HWND client = ui::MdiClientOf(ui::MainWindow());
  if (client) EnumChildWindows(client, CollectModuleWindow, reinterpret_cast<LPARAM>(&search));
  EnumThreadWindows(GetCurrentThreadId(), CollectModuleWindow, reinterpret_cast<LPARAM>(&search));
  for (HWND window : search.found) {
    if (!IsWindow(window)) continue;  // gone with a parent destroyed before it
    if (client && GetParent(window) == client) {
      SendMessageW(client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(window), 0);
    } else {
      DestroyWindow(window);
    }
  }
}

}  // namespace

std::string LibraryPath(const std::string& library) {
  return IsAbsolute(library) ? library : sv::ProgramFolder() + library;
}

void ShowPluginError(const std::string& text) {
  ui::MessageBox1251(ui::MainWindow(), text, ui::ApplicationTitle(), MB_OK | MB_ICONERROR);
}

OpenedPlugin OpenNativePlugin(const std::string& key, const std::string& library, const std::string& caption) {
  sv::Module module(LoadLibraryW(sv::Wide(LibraryPath(library)).c_str()));
  if (!module) {
    ShowPluginError(LoadFailureText(caption, library));
    return {};
  }
  auto run = reinterpret_cast<RunPluginEntry>(GetProcAddress(module.Get(), kRunPluginName));
  if (!run) {
    ShowPluginError(EntryPointFailureText(caption, library));
    return {};  // the library goes with `module`
  }
  HWND window = CallRunPlugin(run, key, ui::ApplicationWindow());
  // Without a window nothing of the plugin runs any more: its library is
  // freed at once, when `module` goes.
  if (!window) {
    DestroyWindowsOf(module.Get());
    return {};
  }
  ui::SetText(window, caption);
  OpenedPlugin opened;
  opened.window = window;
  opened.module = module.Release();
  return opened;
}

}  // namespace plugins
