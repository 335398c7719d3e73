// The application object that other modules and processes look for: a hidden
// top-level window of class "TApplication" whose text is the application
// title. Every module links its own copy of this code, so the object is found
// through the window system, never through a global of this library.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

#include "window.h"

namespace ui {

constexpr wchar_t kApplicationClass[] = L"TApplication";
// The title used where the process has no application window.
constexpr char kDefaultApplicationTitle[] = "Solvika";

// The application window of the calling process, or null.
HWND ApplicationWindow();
// Its window text (1251), or "Solvika" when there is none.
std::string ApplicationTitle();

// The application's icon: the application window's, else the main window's
// class icon, else the platform's default application icon. Not owned by the
// caller.
HICON ApplicationIcon();

// The module (DLL or EXE) this code is linked into: resources and window
// classes of a module belong to its own instance.
HINSTANCE ThisModule();

// The process's application object: a hidden top-level window of class
// "TApplication" titled with the application title, off the taskbar. Another
// copy of the program that finds it restores and activates it; the window
// then hides again and calls the restore handler, which brings the program's
// own main window back.
class ApplicationObject : public Window {
 public:
  bool Create(std::string_view title1251);
  void SetRestoreHandler(std::function<void()> handler) { onRestore_ = std::move(handler); }

 private:
  bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) override;

  std::function<void()> onRestore_;
};

}  // namespace ui
