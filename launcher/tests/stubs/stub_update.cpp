// The update wizard's stand-in, loaded by the launcher under the name
// "SolvikaUpdate.dll": a hidden application window "Solvika Update" while it
// runs, which is at once unless the test holds it.
#include <windows.h>

#include "guard.h"
#include "stub_log.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {

constexpr DWORD kHoldPollMs = 100;
// A held wizard gives up by itself, so that a failed test leaves nothing running.
constexpr DWORD kLongestHoldMs = 60000;

LRESULT CALLBACK ApplicationProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return sv::Guard<LRESULT>(0, [&]() -> LRESULT {
    if (message == WM_SHOWWINDOW && wparam) stub::AppendLog("update restored");
    return DefWindowProcW(window, message, wparam, lparam);
  });
}

void PumpMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

}  // namespace

extern "C" void __stdcall SolvikaStart() {
  sv::GuardVoid([] {
    HINSTANCE module = reinterpret_cast<HINSTANCE>(&__ImageBase);
    WNDCLASSW wc = {};
    wc.lpfnWndProc = ApplicationProc;
    wc.hInstance = module;
    wc.lpszClassName = L"TApplication";
    RegisterClassW(&wc);
    HWND application =
        CreateWindowExW(0, L"TApplication", L"Solvika Update", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, module, nullptr);
    stub::AppendLog("update started");
    DWORD start = GetTickCount();
    do {
      PumpMessages();
      MsgWaitForMultipleObjects(0, nullptr, FALSE, kHoldPollMs, QS_ALLINPUT);
    } while (stub::MarkerPresent(stub::kHoldUpdateMarker) && GetTickCount() - start < kLongestHoldMs);
    DestroyWindow(application);
    stub::AppendLog("update ended");
  });
}
