// A test plugin whose RunPlugin gives no window.
#include <windows.h>

#include "plugin_log.h"
#include "sv_abi.h"
#include "svstring.h"

extern "C" {

void SVAPI RegisterPlugin() { testplugin::Log("RegisterPlugin"); }

HWND SVAPI RunPlugin(const char* key, HWND /*application*/) {
  testplugin::Log("RunPlugin " + std::string(sv::Text(key)));
  return nullptr;
}

}  // extern "C"
