// A window timer that stops with its owner object.
#pragma once

#include <windows.h>

namespace ui {

class Timer {
 public:
  Timer() = default;
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;
  ~Timer() { Stop(); }

  // (Re)starts timer `id` of `window` with `intervalMs`; WM_TIMER arrives
  // with wParam = id.
  void Start(HWND window, UINT_PTR id, UINT intervalMs) {
    window_ = window;
    id_ = id;
    running_ = SetTimer(window, id, intervalMs, nullptr) != 0;
  }
  void Stop() {
    if (running_ && IsWindow(window_)) KillTimer(window_, id_);
    running_ = false;
  }
  bool Running() const { return running_; }

 private:
  HWND window_ = nullptr;
  UINT_PTR id_ = 0;
  bool running_ = false;
};

}  // namespace ui
