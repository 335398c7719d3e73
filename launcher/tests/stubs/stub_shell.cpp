// The shell's stand-in, loaded by the launcher under the name
// "SolvikaMain.dll": the windows other copies look for (a hidden application
// window "Solvika" and a visible main window), a log of what happened to
// them, and an exit a moment after the exit command unless told to ignore it.
#include <windows.h>

#include "guard.h"
#include "stub_log.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {

constexpr UINT kShellCommandMessage = WM_USER + 1;
constexpr WPARAM kShellCommandExit = 1;
// After the exit command the main window stays this long, as the real shell's
// does while it closes its plugins: whoever asked must wait for it.
constexpr UINT_PTR kWindDownTimer = 1;
constexpr UINT kWindDownMs = 1000;
constexpr DWORD kHangPollMs = 100;
constexpr DWORD kLongestHangMs = 60000;

// Looks at no message while the hang marker is there.
void HangWhileMarked() {
  if (!stub::MarkerPresent(stub::kHangMarker)) return;
  stub::AppendLog("shell hung");
  DWORD start = GetTickCount();
  while (stub::MarkerPresent(stub::kHangMarker) && GetTickCount() - start < kLongestHangMs) Sleep(kHangPollMs);
}

LRESULT CALLBACK ApplicationProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return sv::Guard<LRESULT>(0, [&]() -> LRESULT {
    // The window starts hidden, so it is shown only by another copy's restore.
    if (message == WM_SHOWWINDOW && wparam) stub::AppendLog("shell restored");
    return DefWindowProcW(window, message, wparam, lparam);
  });
}

LRESULT CALLBACK MainFormProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return sv::Guard<LRESULT>(0, [&]() -> LRESULT {
    if (message == kShellCommandMessage && wparam == kShellCommandExit) {
      stub::AppendLog("shell exit command");
      if (!stub::MarkerPresent(stub::kIgnoreExitMarker)) SetTimer(window, kWindDownTimer, kWindDownMs, nullptr);
      return 0;
    }
    if (message == WM_TIMER && wparam == kWindDownTimer) {
      KillTimer(window, kWindDownTimer);
      DestroyWindow(window);
      return 0;
    }
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(window, message, wparam, lparam);
  });
}

HWND MakeWindow(const wchar_t* window_class, WNDPROC procedure, DWORD style, int width, int height) {
  HINSTANCE module = reinterpret_cast<HINSTANCE>(&__ImageBase);
  WNDCLASSW wc = {};
  wc.lpfnWndProc = procedure;
  wc.hInstance = module;
  wc.lpszClassName = window_class;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  RegisterClassW(&wc);
  return CreateWindowExW(0, window_class, L"Solvika", style, 10, 10, width, height, nullptr, nullptr, module, nullptr);
}

}  // namespace

extern "C" void __stdcall SolvikaStart() {
  sv::GuardVoid([] {
    HWND application = MakeWindow(L"TApplication", ApplicationProc, WS_POPUP, 0, 0);
    HWND main_form = MakeWindow(L"TSolvikaMainForm", MainFormProc, WS_OVERLAPPEDWINDOW, 300, 200);
    stub::AppendLog("shell started");
    ShowWindow(main_form, SW_SHOW);
    HangWhileMarked();
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    DestroyWindow(application);
    stub::AppendLog("shell ended");
  });
}
