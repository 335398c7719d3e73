// A test ActiveX library whose registration fails, as it does for a user
// without the rights to register controls; built with SV_REGISTRATION_SUCCEEDS
// it registers fine but provides no control class.
#include <windows.h>

#include "plugin_log.h"

extern "C" {

HRESULT STDAPICALLTYPE DllRegisterServer() {
  testplugin::Log("DllRegisterServer");
#ifdef SV_REGISTRATION_SUCCEEDS
  return S_OK;
#else
  return E_ACCESSDENIED;
#endif
}

HRESULT STDAPICALLTYPE DllUnregisterServer() {
  testplugin::Log("DllUnregisterServer");
  return S_OK;
}

}  // extern "C"
