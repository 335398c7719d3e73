// Starts the update wizard the way the launcher does in update mode: loads
// SolvikaUpdate.dll and calls its SolvikaStart. The current directory is the
// program folder; the command line may carry the network host switch.
#include <windows.h>

int main() {
  HMODULE wizard = LoadLibraryW(L"SolvikaUpdate.dll");
  if (!wizard) return 2;
  auto start = reinterpret_cast<void(__stdcall*)()>(reinterpret_cast<void*>(GetProcAddress(wizard, "SolvikaStart")));
  if (!start) return 3;
  start();
  return 0;
}
