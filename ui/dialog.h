// Base of every dialog made from a template. The dialog procedure is a library
// boundary (user32 calls it), so its dispatch runs inside the export guard and
// only hands each message to a named handler of the derived dialog.
#pragma once

#include <windows.h>

namespace ui {

// Registers a dialog class (DefDlgProcW, DLGWINDOWEXTRA) of `module` under
// `name`, so that a template's CLASS statement gives the dialog a class name
// that tests and other processes can find. Registering twice is harmless.
void RegisterDialogClass(HINSTANCE module, const wchar_t* name);

class Dialog {
 public:
  virtual ~Dialog() = default;
  Dialog() = default;
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  // Shows template `template_id` of `module` modally; returns what End got, or
  // 0 when the dialog was closed by its title bar or could not be created.
  INT_PTR RunModal(HINSTANCE module, int template_id, HWND owner);
  HWND Handle() const { return window_; }

 protected:
  virtual void OnInitDialog() {}
  // A command from a control or an accelerator; false leaves it to the default.
  virtual bool OnCommand(int id, int code, HWND control) { (void)id, (void)code, (void)control; return false; }
  // Any other message; returns true when handled, with *result set.
  virtual bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, INT_PTR* result) {
    (void)message, (void)wparam, (void)lparam, (void)result;
    return false;
  }
  void End(INT_PTR result) { EndDialog(window_, result); }

 private:
  static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  INT_PTR Dispatch(UINT message, WPARAM wparam, LPARAM lparam);

  HWND window_ = nullptr;
};

// Where `control` lies in its parent's client area.
RECT RectInParent(HWND control);
// Centres `window` on the desktop work area.
void CenterOnDesktop(HWND window);
// Gives `window` a client area of exactly width x height pixels.
void SetClientSize(HWND window, int width, int height);
// The same for a dialog made from a template, whose controls are stretched or
// shrunk with it. A template is laid out in dialog units, whose size in pixels
// follows the dialog font of the machine, so a fixed pixel size alone would
// cut off the template's right and lower edges or leave them empty.
void SetClientSizeWithControls(HWND dialog, int width, int height);

}  // namespace ui
