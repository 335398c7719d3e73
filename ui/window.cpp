#include "window.h"

#include "guard.h"
#include "main_window.h"

namespace ui {

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return GuardProcedure<LRESULT>(0, [&]() -> LRESULT {
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self && message == WM_NCCREATE) {
      auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
      // An MDI child gets its creation data through the MDICREATESTRUCT.
      if (create->dwExStyle & WS_EX_MDICHILD)
        self = create->lpCreateParams
                   ? reinterpret_cast<Window*>(static_cast<MDICREATESTRUCTW*>(create->lpCreateParams)->lParam)
                   : nullptr;
      else
        self = static_cast<Window*>(create->lpCreateParams);
      if (self) {
        self->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
      }
    }
    if (!self) return DefWindowProcW(window, message, wparam, lparam);
    LRESULT result = self->Dispatch(message, wparam, lparam);
    if (message == WM_NCDESTROY) {
      // The object outlives its window; it must not reach a dead handle.
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      self->window_ = nullptr;
      self->OnFinalMessage();
    }
    return result;
  });
}

namespace {
GuardedFaultHandler g_faultHandler = nullptr;
}  // namespace

void SetGuardedFaultHandler(GuardedFaultHandler handler) { g_faultHandler = handler; }

void ReportGuardedFault() {
  if (!g_faultHandler) return;
  try {
    g_faultHandler();
  } catch (...) {
  }
}

void RegisterWindowClass(HINSTANCE module, const wchar_t* name, HBRUSH background, HICON icon, UINT style) {
  WNDCLASSW existing = {};
  if (GetClassInfoW(module, name, &existing)) return;
  WNDCLASSW wc = {};
  wc.style = style;
  wc.lpfnWndProc = WindowProcedure;
  wc.hInstance = module;
  wc.hIcon = icon;
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = background;
  wc.lpszClassName = name;
  RegisterClassW(&wc);
}

Window::~Window() {
  // The derived object is gone already: the last messages of the window go
  // to the default procedure, not to it.
  if (window_ && IsWindow(window_)) {
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
  }
  window_ = nullptr;
}

HWND Window::Create(DWORD ex_style, const wchar_t* window_class, const wchar_t* title, DWORD style, int x, int y,
                    int width, int height, HWND parent, HINSTANCE module) {
  return CreateWindowExW(ex_style, window_class, title, style, x, y, width, height, parent, nullptr, module, this);
}

HWND Window::CreateMdiChild(HWND mdiClient, const wchar_t* window_class, std::string_view title1251,
                            HINSTANCE module, DWORD style) {
  return ui::CreateMdiChild(mdiClient, window_class, title1251, module, style, reinterpret_cast<LPARAM>(this));
}

void Window::Destroy() {
  if (window_ && IsWindow(window_)) DestroyWindow(window_);
  window_ = nullptr;
}

LRESULT Window::Dispatch(UINT message, WPARAM wparam, LPARAM lparam) {
  LRESULT result = 0;
  if (OnMessage(message, wparam, lparam, &result)) return result;
  return DefaultProcedure(message, wparam, lparam);
}

}  // namespace ui
