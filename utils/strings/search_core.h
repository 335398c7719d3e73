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
  static constexpr bool kIdentity = true;
  static uint8_t Map(uint8_t c) { return c; }
  static void Fold(uint32_t*, const uint32_t*) {}
  static bool Equal(const uint8_t* a, const uint8_t* b, size_t n) { return memcmp(a, b, n) == 0; }
};

// Case-insensitive: bytes compare through the 1251 upper-case map.
struct NoCaseBytes {
  static constexpr bool kIdentity = false;
  static uint8_t Map(uint8_t c) { return sv::Upper1251(c); }
  // out[c] = byUpper[upper case of c], for every byte c.
  static void Fold(uint32_t* out, const uint32_t* byUpper) {
    const unsigned char* upper = sv::UpperMap1251();
    for (int c = 0; c < 256; ++c) out[c] = byUpper[upper[c]];
  }
  static bool Equal(const uint8_t* a, const uint8_t* b, size_t n) {
    const unsigned char* upper = sv::UpperMap1251();
    for (size_t k = 0; k < n; ++k)
      if (upper[a[k]] != upper[b[k]]) return false;
    return true;
  }
};

// A forward Horspool search prepared for one pattern, reusable over many
// searches in the same or different texts. The table is keyed on the raw
// byte (the transform is folded into it) and gives 0 for the pattern's last
// byte, so the scan is a run of table jumps without a comparison: the window
// stops by itself on a byte that may end a match (the tuned loop of Hume and
// Sunday). Branches are what cost most on today's processors and far more
// under an emulator; three jumps go without one.
template <class Cmp>
class ForwardSearch {
 public:
  ForwardSearch(const uint8_t* pattern, size_t m) : p_(pattern), m_(m) {
    // A search is often made for one match only: the table is built in one
    // pass when bytes compare as they are, through a second table otherwise.
    uint32_t mapped[Cmp::kIdentity ? 1 : 256];
    uint32_t* skip = Cmp::kIdentity ? jump_ : mapped;
    for (int i = 0; i < 256; ++i) skip[i] = (uint32_t)m;
    // Every pattern byte except the last tells how far the window may move
    // when that byte is seen under the window's end.
    for (size_t k = 0; k + 1 < m; ++k) skip[Cmp::Map(pattern[k])] = (uint32_t)(m - 1 - k);
    const uint8_t last = m ? Cmp::Map(pattern[m - 1]) : 0;
    afterCandidate_ = skip[last];
    skip[last] = 0;
    if (!Cmp::kIdentity) Cmp::Fold(jump_, skip);
  }

  // Zero-based offset of the first match at or after `from`, or -1.
  ptrdiff_t Find(const uint8_t* s, size_t n, size_t from) const {
    const size_t m = m_;
    if (m == 0 || n < m || from > n - m) return -1;
    const uint8_t* p = p_;
    const uint32_t* jump = jump_;
    // `end` points at the byte under the window's last position.
    const uint8_t* end = s + from + m - 1;
    const uint8_t* const stop = s + n;
    // Three jumps move the window by at most 3m bytes: they stay in the text
    // while `end` is below `fastStop`.
    const uint8_t* const fastStop = (size_t)(stop - end) > 3 * m ? stop - 3 * m : end;
    for (;;) {
      while (end < fastStop) {
        end += jump[*end];
        end += jump[*end];
        end += jump[*end];
        if (jump[*end] == 0) break;
      }
      // Near the end of the text, one jump at a time.
      while (end < stop && jump[*end] != 0) end += jump[*end];
      if (end >= stop) return -1;
      if (Cmp::Equal(end - (m - 1), p, m - 1)) return (end - (m - 1)) - s;
      end += afterCandidate_;
    }
  }

 private:
  const uint8_t* p_;
  size_t m_;
  uint32_t afterCandidate_;  // the move after a candidate that did not match
  uint32_t jump_[256];
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
