#include "native_plugin.h"

#include <windows.h>

#include "app.h"
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

// A plugin that throws out of RunPlugin has given no window.
HWND CallRunPlugin(RunPluginEntry run, const std::string& key, HWND application) {
  sv::OwnedStr key_argument(key);
  try {
    HWND window = run(key_argument.Get(), application);
    return window && IsWindow(window) ? window : nullptr;
  } catch (...) {
    return nullptr;
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
  if (!window) return {};
  ui::SetText(window, caption);
  OpenedPlugin opened;
  opened.window = window;
  opened.module = module.Release();
  return opened;
}

}  // namespace plugins
