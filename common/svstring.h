// Bridges between SvStr arguments and std::string inside the libraries.
#pragma once

#include <string>
#include <string_view>

#include "sv_abi.h"

namespace sv {

// A text argument: read up to its first zero byte.
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

inline SvStr NewStr(std::string_view v) { return StrNew(v.data(), (int32_t)v.size()); }

inline void PutStr(SvStr* out, std::string_view v) { StrPut(out, NewStr(v)); }

}  // namespace sv
