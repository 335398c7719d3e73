// The dialogs library "SolvikaMainTools.dll", loaded on first use and kept
// while a use holds it: a modal call holds it for the call, a non-modal
// window for as long as the window is open. A missing library or entry
// point makes each call do nothing.
#pragma once

#include <windows.h>

#include <string>

#include "win_handles.h"

namespace shell {

constexpr char kToolsLibrary[] = "SolvikaMainTools.dll";

// The count of uses; the library goes when it drops to zero.
class UseCount {
 public:
  // True when this use is the first, so the library must be loaded.
  bool Acquire() { return uses_++ == 0; }
  // True when the count reached zero, so the library must be freed.
  bool Release(int uses);
  int Uses() const { return uses_; }

 private:
  int uses_ = 0;
};

class ToolsBinding {
 public:
  // Window codes of the dialogs library.
  void ExecModalWindow(int32_t code);
  // A non-modal window: it returns how many uses to release (0 keeps the
  // library for the open window, 1 releases this use, 2 also the window's).
  void ExecWindow(int32_t code);
  void ExecExceptWindow(const std::string& report);
  void ExecExceptWindowEx(const std::string& header, const std::string& details);
  bool Loaded() const { return static_cast<bool>(module_); }

 private:
  FARPROC Entry(const char* name);
  bool Acquire();
  void Release(int uses);

  sv::Module module_;
  UseCount uses_;
};

}  // namespace shell
