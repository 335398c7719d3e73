// Starts the shell as the launcher does, without the launcher's instance
// check and update steps, so that the shell's tests run it on its own.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  HMODULE shell = LoadLibraryW(L"SolvikaMain.dll");
  if (!shell) return 1;
  auto start = reinterpret_cast<void(__stdcall*)()>(reinterpret_cast<void*>(GetProcAddress(shell, "SolvikaStart")));
  if (!start) return 2;
  start();
  return 0;
}
