// A test plugin as a real one is made: RunPlugin creates an MDI child of a
// class of its own in the main window's MDI client; its window asks the shell
// to close it and tells the shell when it is activated. Built with
// SV_PLUGIN_REGISTERS_ITSELF, RegisterPlugin writes the plugin's own section
// "*<file name without extension>" into Tovrin.ini, as installed plugins do.
#include <windows.h>

#ifdef SV_PLUGIN_REGISTERS_ITSELF
#include "SolvikaUtils.h"
#endif

#include "main_window.h"
#include "sv_shell.h"
#include "plugin_log.h"
#include "sv_abi.h"
#include "svstring.h"

namespace {

constexpr wchar_t kFormClass[] = L"TTestPluginForm";

LRESULT CALLBACK FormProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CLOSE: PostMessageW(ui::MainWindow(), WM_SHELL_COMMAND, SVSHELL_CLOSE_ACTIVE_PLUGIN, 0); return 0;
    case WM_MDIACTIVATE:
      if (reinterpret_cast<HWND>(lparam) == window)
        PostMessageW(ui::MainWindow(), WM_SHELL_COMMAND, SVSHELL_PLUGIN_ACTIVATED, 0);
      break;
    case WM_DESTROY: testplugin::Log("Destroy"); break;
  }
  return DefMDIChildProcW(window, message, wparam, lparam);
}

}  // namespace

extern "C" {

void SVAPI RegisterPlugin() {
  testplugin::Log("RegisterPlugin");
#ifdef SV_PLUGIN_REGISTERS_ITSELF
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(testplugin::ThisModule(), path, MAX_PATH);
  std::string file = sv::Narrow(path);
  file = file.substr(file.find_last_of('\\') + 1);
  const std::string id = file.substr(0, file.find_last_of('.'));
  const std::string section = "*" + id;
  SetIniString(section.c_str(), "Library", file.c_str());
  SetIniString(section.c_str(), "Version", "100");
  // Name and group stay as the user or the server set them.
  std::string name = sv::TakeOut([&](SvStr* out) { GetIniString(out, section.c_str(), "Name", id.c_str()); });
  SetIniString(section.c_str(), "Name", name.c_str());
#endif
}

HWND SVAPI RunPlugin(const char* key, HWND application) {
  testplugin::Log("RunPlugin " + std::string(sv::Text(key)) + (application ? " with application" : ""));
  HWND client = ui::MdiClientOf(ui::MainWindow());
  if (!client) return nullptr;
  WNDCLASSW wc = {};
  if (!GetClassInfoW(testplugin::ThisModule(), kFormClass, &wc)) {
    wc.lpfnWndProc = FormProcedure;
    wc.hInstance = testplugin::ThisModule();
    wc.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_INFORMATION));
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kFormClass;
    RegisterClassW(&wc);
  }
  return CreateMDIWindowW(kFormClass, L"plugin", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, 300,
                          200, client, testplugin::ThisModule(), 0);
}

}  // extern "C"
