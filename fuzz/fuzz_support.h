// Helpers shared by the fuzz targets: owned SvStr values and a check that
// stops the run with a message when a property does not hold.
#pragma once

#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <string_view>

#include "sv_abi.h"

namespace fuzz {

// Reports a broken property and aborts, which libFuzzer records as a crash
// together with the input.
[[noreturn]] inline void Fail(const char* what, const char* file, int line) {
  fprintf(stderr, "fuzz property failed: %s (%s:%d)\n", what, file, line);
  abort();
}

#define FUZZ_CHECK(cond) ((cond) ? (void)0 : ::fuzz::Fail(#cond, __FILE__, __LINE__))

// An SvStr owned by the harness: released on scope exit.
class Str {
 public:
  explicit Str(SvStr s = nullptr) : s_(s) {}
  explicit Str(std::string_view v) : s_(sv::StrNew(v.data(), (int32_t)v.size())) {}
  ~Str() { sv::Release(s_); }
  Str(const Str&) = delete;
  Str& operator=(const Str&) = delete;
  SvStr Get() const { return s_; }
  SvStr* Out() { return &s_; }
  std::string_view View() const { return std::string_view(s_, (size_t)sv::Length(s_)); }
  // A zero-terminated text argument ("" for the empty string).
  const char* Text() const { return s_ ? s_ : ""; }

 private:
  SvStr s_;
};

// Splits the input at `separator` bytes into at most `parts` pieces (the last
// piece keeps any further separators).
inline void SplitInput(std::string_view in, char separator, std::string_view* out, size_t parts) {
  for (size_t i = 0; i < parts; ++i) out[i] = std::string_view();
  for (size_t i = 0; i + 1 < parts; ++i) {
    size_t cut = in.find(separator);
    if (cut == std::string_view::npos) {
      out[i] = in;
      return;
    }
    out[i] = in.substr(0, cut);
    in.remove_prefix(cut + 1);
  }
  out[parts - 1] = in;
}

}  // namespace fuzz
