// Values of SolvikaUtils that change after load: the application window and
// program version given by SetApplParam, and the open-in-IE flag. Read
// without a lock from any thread, hence atomics.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

namespace utils {

struct Runtime {
  std::atomic<HWND> appWindow{nullptr};
  std::atomic<uint16_t> progVersion{0};
  std::atomic<bool> openInIE{true};
};

Runtime& TheRuntime();

}  // namespace utils
