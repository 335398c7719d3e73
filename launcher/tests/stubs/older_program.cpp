// A stand-in for a running program of the older generation: its application
// window (class "TSolvikaApplication") until it is ended, at most a minute.
#include <windows.h>

#include "guard.h"
#include "stub_log.h"

namespace {

constexpr UINT_PTR kGiveUpTimer = 1;
constexpr UINT kLongestRunMs = 60000;

LRESULT CALLBACK ApplicationProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return sv::Guard<LRESULT>(0, [&]() -> LRESULT {
    if (message == WM_SHOWWINDOW && wparam) stub::AppendLog("older restored");
    if (message == WM_TIMER && wparam == kGiveUpTimer) PostQuitMessage(0);
    return DefWindowProcW(window, message, wparam, lparam);
  });
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  sv::GuardVoid([&] {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = ApplicationProc;
    wc.hInstance = instance;
    wc.lpszClassName = L"TSolvikaApplication";
    RegisterClassW(&wc);
    HWND application = CreateWindowExW(0, L"TSolvikaApplication", L"Tovrin", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                       instance, nullptr);
    SetTimer(application, kGiveUpTimer, kLongestRunMs, nullptr);
    stub::AppendLog("older started");
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    stub::AppendLog("older ended");
  });
  return 0;
}
