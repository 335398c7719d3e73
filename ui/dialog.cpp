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
    case WM_INITDIALOG: {
      OnInitDialog();
      // A dialog that gave one of its controls the focus keeps it there;
      // otherwise the dialog manager focuses the first control.
      HWND focus = GetFocus();
      return focus && IsChild(window_, focus) ? FALSE : TRUE;
    }
    case WM_COMMAND:
      return OnCommand(LOWORD(wparam), HIWORD(wparam), reinterpret_cast<HWND>(lparam)) ? TRUE : FALSE;
    default: {
      INT_PTR result = FALSE;
      return OnMessage(message, wparam, lparam, &result) ? result : FALSE;
    }
  }
}

RECT RectInParent(HWND control) {
  RECT r = {};
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
  return r;
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

void SetClientSizeWithControls(HWND dialog, int width, int height) {
  RECT before = {};
  GetClientRect(dialog, &before);
  SetClientSize(dialog, width, height);
  if (before.right <= 0 || before.bottom <= 0) return;
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    const RECT r = RectInParent(child);
    // Each edge is scaled on its own, so that controls that touched still do.
    const int left = MulDiv(r.left, width, before.right), right = MulDiv(r.right, width, before.right);
    const int top = MulDiv(r.top, height, before.bottom), bottom = MulDiv(r.bottom, height, before.bottom);
    MoveWindow(child, left, top, right - left, bottom - top, FALSE);
  }
}

}  // namespace ui
