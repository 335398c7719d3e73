// The splash library "TovrinLF.dll", bound by name at run time. Without the
// library or either entry point the program simply starts without a splash.
#pragma once

#include <windows.h>

#include "sv_abi.h"
#include "win_handles.h"

namespace shell {

constexpr char kSplashLibrary[] = "TovrinLF.dll";

class SplashBinding {
 public:
  // Loads the library and shows the splash owned by `application`.
  void Show(HWND application);
  // Closes the splash and frees the library; harmless when not bound.
  void Close();
  bool Bound() const { return static_cast<bool>(module_); }

 private:
  using ShowFn = void(SVAPI*)(HWND);
  using CloseFn = void(SVAPI*)();

  sv::Module module_;
  CloseFn close_ = nullptr;
};

}  // namespace shell
