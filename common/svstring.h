// Bridges between SvStr arguments and std::string inside the libraries and
// their tests. These are the only copies: a library that needs another bridge
// adds it here.
#pragma once

#include <string>
#include <string_view>

#include "sv_abi.h"

namespace sv {

// A text argument: read up to its first zero byte (null reads as empty).
inline std::string_view Text(const char* s) { return s ? std::string_view(s) : std::string_view(); }

// A byte-string argument: read with the length from its header.
inline std::string_view Bytes(SvStr s) { return std::string_view(s, (size_t)Length(s)); }

// A copy of a string the caller keeps.
inline std::string Copy(SvStr s) { return std::string(Bytes(s)); }

// A copy of a string the caller received and is done with: it is released.
inline std::string Take(SvStr s) {
  std::string r(Bytes(s));
  Release(s);
  return r;
}

// Calls an out-string function, fn(&out), and takes what it stored: the
// bridge for exports of the form "void F(SvStr* out)".
template <class F>
std::string TakeOut(F fn) {
  SvStr out = nullptr;
  fn(&out);
  return Take(out);
}

inline SvStr NewStr(std::string_view v) { return StrNew(v.data(), (int32_t)v.size()); }

inline void PutStr(SvStr* out, std::string_view v) { StrPut(out, NewStr(v)); }

// An SvStr made from bytes and owned for a scope: released on destruction.
// Converts to SvStr for a call that takes an argument string.
class OwnedStr {
 public:
  OwnedStr() = default;
  explicit OwnedStr(std::string_view bytes) : s_(NewStr(bytes)) {}
  ~OwnedStr() { Release(s_); }
  OwnedStr(const OwnedStr&) = delete;
  OwnedStr& operator=(const OwnedStr&) = delete;
  OwnedStr(OwnedStr&& other) noexcept : s_(other.s_) { other.s_ = nullptr; }
  OwnedStr& operator=(OwnedStr&& other) noexcept {
    if (this != &other) {
      Release(s_);
      s_ = other.s_;
      other.s_ = nullptr;
    }
    return *this;
  }
  SvStr Get() const { return s_; }
  operator SvStr() const { return s_; }
  // The slot for an out-string call; what it held is released first.
  SvStr* Out() {
    Release(s_);
    s_ = nullptr;
    return &s_;
  }

 private:
  SvStr s_ = nullptr;
};

}  // namespace sv
