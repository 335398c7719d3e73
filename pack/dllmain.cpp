// Load of SolvikaPU: the two locks exist before any export can be called.
#include <windows.h>

#include "SolvikaPU.h"
#include "engine.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    svpu::UnpackLock();
    svpu::PackLock();
  }
  return TRUE;
}

SVPU_API int32_t SVAPI GetModuleVersion(void) { return 14; }
