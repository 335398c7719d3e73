// Load and unload of SolvikaUtils. The state every export relies on is settled
// here, before any export can be called.
#include <windows.h>

#include "load_steps.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
  try {
    if (reason == DLL_PROCESS_ATTACH) {
      utils::LoadFolders();
      utils::LoadBrowserFlag();
      utils::LoadVersionTexts();
      utils::OpenDebugConsoleIfAsked();
      utils::LoadClientIdentity();
    } else if (reason == DLL_PROCESS_DETACH) {
      // At process exit (reserved != null) other threads are already gone;
      // the console line is still written so that it can be read.
      (void)reserved;
      utils::CloseDebugConsole();
    }
  } catch (...) {
  }
  return TRUE;
}
