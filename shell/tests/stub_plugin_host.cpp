// A stand-in for the plugin host that the shell's start-up tests put in the
// program folder as "TovrinPlugins.dll". It writes every call to the debug
// log, pretends that two plugins are open once its tab bar exists, and asks
// the shell for a popup notice from there, as a plugin would.
#include <windows.h>

#include <string>

#include "sv_abi.h"
#include "SolvikaUtils.h"

namespace {

constexpr int kPluginsOpenAtStart = 2;
int g_open = 0;

void Log(const std::string& call) { DebugWrite(("stub host > " + call).c_str()); }

}  // namespace

extern "C" {

int32_t SVAPI GetModuleVersion() { return 1; }

int32_t SVAPI AddPlugin(const char* key) {
  Log(std::string("AddPlugin > ") + (key ? key : ""));
  ++g_open;
  return 1;
}

int32_t SVAPI CloseActivePlugin() {
  Log("CloseActivePlugin");
  if (g_open == 0) return 0;
  --g_open;
  return 1;
}

void SVAPI GetActivePlugin(SvStr* key) { (void)key; }
HWND SVAPI GetActivePluginForm() { return nullptr; }
void SVAPI UpdateActivePlugin() { Log("UpdateActivePlugin"); }
void SVAPI TNPluginsCreate() { Log("TNPluginsCreate"); }

void SVAPI TNPluginsCreate2(HWND parent) {
  Log("TNPluginsCreate2");
  CreateWindowExW(0, L"STATIC", L"stub tab bar", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, parent, nullptr,
                  GetModuleHandleW(nullptr), nullptr);
  g_open = kPluginsOpenAtStart;
  auto popup = reinterpret_cast<void(SVAPI*)(const char*, const char*, const char*)>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"SolvikaMain.dll"), "ShowPopup")));
  if (popup) popup("stub notice", "Stub", "*Stub");
}

void SVAPI TNPluginsFree() { Log("TNPluginsFree"); }

}  // extern "C"
