// No C++ exception may cross a library boundary: every export runs its body
// through Guard, which turns anything thrown into the export's failure result.
#pragma once

namespace sv {

template <class T, class F>
T Guard(T failure, F body) {
  try {
    return body();
  } catch (...) {
    return failure;
  }
}

template <class F>
void GuardVoid(F body) {
  try {
    body();
  } catch (...) {
  }
}

}  // namespace sv
