// A test ActiveX library whose registration fails, as it does for a user
// without the rights to register controls.
#include <windows.h>

#include "plugin_log.h"

extern "C" {

HRESULT STDAPICALLTYPE DllRegisterServer() {
  testplugin::Log("DllRegisterServer");
  return E_ACCESSDENIED;
}

HRESULT STDAPICALLTYPE DllUnregisterServer() {
  testplugin::Log("DllUnregisterServer");
  return S_OK;
}

}  // extern "C"
