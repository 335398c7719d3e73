// The search engines behind the Fast... exports: a Boyer-Moore-Horspool
// forward search and its mirror image for backward search. Both work on raw
// bytes with trusted lengths and take a byte transform, so that the NoCase
// variants compare through the upper-case map without a second copy of the
// code. The skip table lives on the caller's stack; nothing is allocated.
#pragma once

#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include "cp1251_case.h"

namespace utils {

// Case-sensitive: bytes compare as they are.
struct ExactBytes {
  static uint8_t Map(uint8_t c) { return c; }
  static bool Equal(const uint8_t* a, const uint8_t* b, size_t n) { return memcmp(a, b, n) == 0; }
};

// Case-insensitive: bytes compare through the 1251 upper-case map.
struct NoCaseBytes {
  static uint8_t Map(uint8_t c) { return sv::Upper1251(c); }
  static bool Equal(const uint8_t* a, const uint8_t* b, size_t n) {
    const unsigned char* upper = sv::UpperMap1251();
    for (size_t k = 0; k < n; ++k)
      if (upper[a[k]] != upper[b[k]]) return false;
    return true;
  }
};

// A forward Horspool search prepared for one pattern, reusable over many
// searches in the same or different texts.
template <class Cmp>
class ForwardSearch {
 public:
  ForwardSearch(const uint8_t* pattern, size_t m) : p_(pattern), m_(m) {
    for (int i = 0; i < 256; ++i) skip_[i] = (uint32_t)m;
    // Every pattern byte except the last tells how far the window may move
    // when that byte is seen under the window's end.
    for (size_t k = 0; k + 1 < m; ++k) skip_[Cmp::Map(pattern[k])] = (uint32_t)(m - 1 - k);
    last_ = m ? Cmp::Map(pattern[m - 1]) : 0;
  }

  // Zero-based offset of the first match at or after `from`, or -1.
  ptrdiff_t Find(const uint8_t* s, size_t n, size_t from) const {
    const size_t m = m_;
    if (m == 0 || n < m || from > n - m) return -1;
    const uint8_t* p = p_;
    const uint32_t* skip = skip_;
    const uint8_t last = last_;
    // `end` points at the byte under the window's last position.
    const uint8_t* end = s + from + m - 1;
    const uint8_t* const stop = s + n;
    while (end < stop) {
      uint8_t c = Cmp::Map(*end);
      if (c == last && Cmp::Equal(end - (m - 1), p, m - 1)) return (end - (m - 1)) - s;
      end += skip[c];
    }
    return -1;
  }

 private:
  const uint8_t* p_;
  size_t m_;
  uint8_t last_;
  uint32_t skip_[256];
};

// The mirror image of ForwardSearch: the window moves leftwards and the table
// is keyed on the byte under the window's first position.
template <class Cmp>
class BackwardSearch {
 public:
  BackwardSearch(const uint8_t* pattern, size_t m) : p_(pattern), m_(m) {
    for (int i = 0; i < 256; ++i) skip_[i] = (uint32_t)m;
    for (size_t k = m; k-- > 1;) skip_[Cmp::Map(pattern[k])] = (uint32_t)k;
    first_ = m ? Cmp::Map(pattern[0]) : 0;
  }

  // Zero-based offset of the rightmost match that begins at or before
  // `lastStart` (which the caller keeps within n - m), or -1.
  ptrdiff_t Find(const uint8_t* s, size_t lastStart) const {
    const size_t m = m_;
    const uint8_t* p = p_;
    const uint8_t* begin = s + lastStart;
    for (;;) {
      uint8_t c = Cmp::Map(*begin);
      if (c == first_ && Cmp::Equal(begin + 1, p + 1, m - 1)) return begin - s;
      size_t step = skip_[c];
      if ((size_t)(begin - s) < step) return -1;
      begin -= step;
    }
  }

 private:
  const uint8_t* p_;
  size_t m_;
  uint8_t first_;
  uint32_t skip_[256];
};

}  // namespace utils
