#include "dialog.h"

#include "guard.h"
#include "window.h"

namespace ui {

void RegisterDialogClass(HINSTANCE module, const wchar_t* name) {
  WNDCLASSW existing = {};
  if (GetClassInfoW(module, name, &existing)) return;
  WNDCLASSW wc = {};
  wc.lpfnWndProc = DefDlgProcW;
  wc.cbWndExtra = DLGWINDOWEXTRA;
  wc.hInstance = module;
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = name;
  RegisterClassW(&wc);
}

INT_PTR Dialog::RunModal(HINSTANCE module, int template_id, HWND owner) {
  INT_PTR result = DialogBoxParamW(module, MAKEINTRESOURCEW(template_id), owner, Procedure,
                                   reinterpret_cast<LPARAM>(this));
  window_ = nullptr;
  return result < 0 ? 0 : result;
}

INT_PTR CALLBACK Dialog::Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return GuardProcedure<INT_PTR>(FALSE, [&]() -> INT_PTR {
    if (message == WM_INITDIALOG) {
      auto* self = reinterpret_cast<Dialog*>(lparam);
      SetWindowLongPtrW(window, DWLP_USER, lparam);
      self->window_ = window;
    }
    auto* self = reinterpret_cast<Dialog*>(GetWindowLongPtrW(window, DWLP_USER));
    return self ? self->Dispatch(message, wparam, lparam) : FALSE;
  });
}

INT_PTR Dialog::Dispatch(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitDialog();
      return TRUE;
    case WM_COMMAND:
      return OnCommand(LOWORD(wparam), HIWORD(wparam), reinterpret_cast<HWND>(lparam)) ? TRUE : FALSE;
    default: {
      INT_PTR result = FALSE;
      return OnMessage(message, wparam, lparam, &result) ? result : FALSE;
    }
  }
}

void CenterOnDesktop(HWND window) {
  RECT area = {}, frame = {};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  GetWindowRect(window, &frame);
  int width = frame.right - frame.left, height = frame.bottom - frame.top;
  SetWindowPos(window, nullptr, area.left + (area.right - area.left - width) / 2,
               area.top + (area.bottom - area.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void SetClientSize(HWND window, int width, int height) {
  RECT frame = {0, 0, width, height};
  AdjustWindowRectEx(&frame, (DWORD)GetWindowLongPtrW(window, GWL_STYLE), GetMenu(window) != nullptr,
                     (DWORD)GetWindowLongPtrW(window, GWL_EXSTYLE));
  SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace ui
