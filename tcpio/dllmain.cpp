// Windows Sockets 1.1 is started when the library is loaded and cleaned up
// when it is unloaded; the results are not needed by anyone.
#include <winsock.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) {
    WSADATA wsa;
    WSAStartup(MAKEWORD(1, 1), &wsa);
  } else if (reason == DLL_PROCESS_DETACH && !reserved) {
    // Only on FreeLibrary: at process exit the system tears the sockets down
    // itself, and other threads may be gone mid-call.
    WSACleanup();
  }
  return TRUE;
}
