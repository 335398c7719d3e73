// Base of every window that is not made from a dialog template. The window
// procedure is a library boundary (user32 calls it), so its dispatch runs
// inside the export guard and hands each message to the derived window.
#pragma once

#include <windows.h>

#include <string_view>

namespace ui {

// What the guard of a window or dialog procedure does with a C++ exception
// besides swallowing it: it calls this handler from inside its catch, so the
// handler may rethrow the exception to look at it. One per module, since
// every module links its own copy of this layer; none by default.
using GuardedFaultHandler = void (*)();
void SetGuardedFaultHandler(GuardedFaultHandler handler);
// Called by the guard inside its catch; a throwing handler is ignored.
void ReportGuardedFault();

// The guard of a procedure: body's result, or `failure` after a C++
// exception (reported to the handler first).
template <class T, class F>
T GuardProcedure(T failure, F body) {
  try {
    return body();
  } catch (...) {
    ReportGuardedFault();
    return failure;
  }
}

// Registers a window class of `module` whose procedure dispatches to
// Window objects. Registering twice is harmless.
void RegisterWindowClass(HINSTANCE module, const wchar_t* name, HBRUSH background = nullptr,
                         HICON icon = nullptr, UINT style = CS_DBLCLKS);

class Window {
 public:
  Window() = default;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  // Destroys the window if it still exists. A derived window that must see
  // its own WM_DESTROY calls Destroy() in its destructor.
  virtual ~Window();

  HWND Handle() const { return window_; }

 protected:
  // Creates the window of a class registered by RegisterWindowClass, with
  // this object attached to it from its first message on.
  HWND Create(DWORD ex_style, const wchar_t* window_class, const wchar_t* title, DWORD style, int x, int y,
              int width, int height, HWND parent, HINSTANCE module);
  // Creates the window as an MDI child of `mdiClient` (WM_MDICREATE), with
  // this object attached to it from its first message on.
  HWND CreateMdiChild(HWND mdiClient, const wchar_t* window_class, std::string_view title1251, HINSTANCE module,
                      DWORD style = 0);
  void Destroy();

  // A message; returns true when handled, with *result set.
  virtual bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) = 0;
  // Called after the window's last message (WM_NCDESTROY), when nothing of
  // the window procedure touches the object any more: a window that owns
  // itself may delete itself here.
  virtual void OnFinalMessage() {}
  // What unhandled messages get: DefWindowProcW, DefFrameProcW for a frame.
  virtual LRESULT DefaultProcedure(UINT message, WPARAM wparam, LPARAM lparam) {
    return DefWindowProcW(window_, message, wparam, lparam);
  }

 private:
  friend LRESULT CALLBACK WindowProcedure(HWND, UINT, WPARAM, LPARAM);
  LRESULT Dispatch(UINT message, WPARAM wparam, LPARAM lparam);

  HWND window_ = nullptr;
};

}  // namespace ui
