#include "logo_form.h"

#include "app.h"
#include "guard.h"
#include "logo_ids.h"
#include "win_handles.h"

namespace splash {

namespace {

// The window owns its picture; both go together.
struct LogoState {
  sv::GdiObject<HBITMAP> picture;
};

void Paint(HWND window, const LogoState& state) {
  PAINTSTRUCT ps = {};
  HDC dc = BeginPaint(window, &ps);
  {
    sv::MemoryDC memory(CreateCompatibleDC(dc));
    sv::SelectedObject selected(memory.Get(), state.picture.Get());
    BitBlt(dc, 0, 0, kLogoWidth, kLogoHeight, memory.Get(), 0, 0, SRCCOPY);
  }
  EndPaint(window, &ps);
}

LRESULT CALLBACK LogoProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return sv::Guard<LRESULT>(0, [&]() -> LRESULT {
    auto* state = reinterpret_cast<LogoState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
      case WM_NCCREATE: {
        auto* created = new LogoState;
        created->picture.Reset(static_cast<HBITMAP>(
            LoadImageW(ui::ThisModule(), MAKEINTRESOURCEW(IDB_LOGO), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
        break;
      }
      case WM_PAINT:
        if (state && state->picture) {
          Paint(window, *state);
          return 0;
        }
        break;
      case WM_ERASEBKGND:
        return 1;  // the picture covers everything
      case WM_NCDESTROY:
        delete state;
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        break;
    }
    return DefWindowProcW(window, message, wparam, lparam);
  });
}

void RegisterLogoClass() {
  WNDCLASSW existing = {};
  if (GetClassInfoW(ui::ThisModule(), kLogoFormClass, &existing)) return;
  WNDCLASSW wc = {};
  wc.lpfnWndProc = LogoProcedure;
  wc.hInstance = ui::ThisModule();
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_APPSTARTING));
  wc.lpszClassName = kLogoFormClass;
  RegisterClassW(&wc);
}

}  // namespace

HWND CreateLogoForm(HWND application) {
  RegisterLogoClass();
  RECT area = {};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  int x = area.left + (area.right - area.left - kLogoWidth) / 2;
  int y = area.top + (area.bottom - area.top - kLogoHeight) / 2;
  HWND window = CreateWindowExW(WS_EX_TOPMOST | WS_EX_LAYERED | WS_EX_TOOLWINDOW, kLogoFormClass, L"", WS_POPUP, x, y,
                                kLogoWidth, kLogoHeight, application, nullptr, ui::ThisModule(), nullptr);
  if (!window) return nullptr;
  SetLayeredWindowAttributes(window, 0, kLogoOpacity, LWA_ALPHA);
  ShowWindow(window, SW_SHOWNOACTIVATE);
  // Painted now: the caller goes on with long start-up work before its
  // message loop runs.
  UpdateWindow(window);
  return window;
}

}  // namespace splash
