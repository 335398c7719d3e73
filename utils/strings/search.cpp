// Forward and backward search of a pattern or a character in 8-bit text,
// case-sensitive or through the upper-case map. Positions are 1-based and 0
// means "not found". The lengths of source and pattern come from the caller.
#include <string.h>

#include "SolvikaUtils.h"
#include "guard.h"
#include "search_core.h"

namespace {

using utils::BackwardSearch;
using utils::ForwardSearch;

const uint8_t* U(const char* s) { return (const uint8_t*)s; }

template <class Cmp>
int32_t Forward(const char* source, const char* pattern, int32_t sourceLen, int32_t patternLen, int32_t start) {
  // A start below 1 would read in front of the text; it counts as 1.
  if (start < 1) start = 1;
  if (!source || !pattern || patternLen <= 0 || sourceLen < patternLen) return 0;
  if ((int64_t)start - 1 > (int64_t)sourceLen - patternLen) return 0;
  ForwardSearch<Cmp> search(U(pattern), (size_t)patternLen);
  ptrdiff_t at = search.Find(U(source), (size_t)sourceLen, (size_t)start - 1);
  return at < 0 ? 0 : (int32_t)at + 1;
}

template <class Cmp>
int32_t Backward(const char* source, const char* pattern, int32_t sourceLen, int32_t patternLen, int32_t start) {
  if (!source || !pattern || patternLen <= 0 || patternLen > sourceLen) return 0;
  // The last candidate start: the given one, or the last place the whole
  // pattern fits when none is given (0) or the given one runs past the end.
  int32_t lastStart = sourceLen - patternLen + 1;
  if (start > 0 && (int64_t)start + patternLen <= sourceLen) lastStart = start;
  else if (start < 0) lastStart = sourceLen - patternLen + 1;
  BackwardSearch<Cmp> search(U(pattern), (size_t)patternLen);
  ptrdiff_t at = search.Find(U(source), (size_t)lastStart - 1);
  return at < 0 ? 0 : (int32_t)at + 1;
}

}  // namespace

SVU_API int32_t SVAPI FastPos(const char* source, const char* pattern, int32_t sourceLen, int32_t patternLen,
                                int32_t start) {
  return sv::Guard<int32_t>(0, [&] {
    return Forward<utils::ExactBytes>(source, pattern, sourceLen, patternLen, start);
  });
}

SVU_API int32_t SVAPI FastPosNoCase(const char* source, const char* pattern, int32_t sourceLen,
                                      int32_t patternLen, int32_t start) {
  return sv::Guard<int32_t>(0, [&] {
    return Forward<utils::NoCaseBytes>(source, pattern, sourceLen, patternLen, start);
  });
}

SVU_API int32_t SVAPI FastPosBack(const char* source, const char* pattern, int32_t sourceLen, int32_t patternLen,
                                    int32_t start) {
  return sv::Guard<int32_t>(0, [&] {
    return Backward<utils::ExactBytes>(source, pattern, sourceLen, patternLen, start);
  });
}

SVU_API int32_t SVAPI FastPosBackNoCase(const char* source, const char* pattern, int32_t sourceLen,
                                          int32_t patternLen, int32_t start) {
  return sv::Guard<int32_t>(0, [&] {
    return Backward<utils::NoCaseBytes>(source, pattern, sourceLen, patternLen, start);
  });
}

SVU_API int32_t SVAPI FastCharPos(const char* source, char c, int32_t start) {
  return sv::Guard<int32_t>(0, [&] {
    if (start < 1) start = 1;
    size_t n = source ? strlen(source) : 0;
    if ((size_t)start > n) return 0;
    const void* hit = memchr(source + start - 1, (unsigned char)c, n - (size_t)(start - 1));
    return hit ? (int32_t)((const char*)hit - source) + 1 : 0;
  });
}

SVU_API int32_t SVAPI FastCharPosNoCase(const char* source, char c, int32_t start) {
  return sv::Guard<int32_t>(0, [&] {
    if (start < 1) start = 1;
    size_t n = source ? strlen(source) : 0;
    if ((size_t)start > n) return 0;
    const uint8_t want = sv::Upper1251((uint8_t)c);
    for (size_t i = (size_t)start - 1; i < n; ++i)
      if (sv::Upper1251((uint8_t)source[i]) == want) return (int32_t)i + 1;
    return 0;
  });
}
