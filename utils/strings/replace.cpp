// Search-and-replace over 8-bit text: every occurrence of a pattern
// (FastReplace), the first or every occurrence with optional case folding
// (FastAnsiReplace), and spans between two tags rewritten by a callback
// (FastTagReplace). Matches never overlap; the result is built once with a
// reserve estimated from the lengths.

#include <string>
#include <string_view>

#include "SolvikaUtils.h"
#include "guard.h"
#include "search_core.h"
#include "svstring.h"

namespace {

using utils::ExactBytes;
using utils::ForwardSearch;
using utils::NoCaseBytes;

const uint8_t* U(const char* s) { return (const uint8_t*)s; }

size_t Reserve(size_t sourceLen, size_t oldLen, size_t newLen, size_t cap) {
  if (newLen <= oldLen || oldLen == 0) return sourceLen;
  size_t grown = sourceLen / oldLen * newLen + newLen;
  return grown < cap ? grown : cap;
}

// Replaces the first (or every) occurrence of `oldText` in `src`.
template <class Cmp>
std::string ReplaceIn(std::string_view src, std::string_view oldText, std::string_view newText, bool all,
                      size_t cap) {
  std::string out;
  out.reserve(Reserve(src.size(), oldText.size(), newText.size(), cap));
  ForwardSearch<Cmp> search(U(oldText.data()), oldText.size());
  size_t from = 0;
  while (from + oldText.size() <= src.size()) {
    ptrdiff_t at = search.Find(U(src.data()), src.size(), from);
    if (at < 0) break;
    out.append(src.data() + from, (size_t)at - from);
    out.append(newText);
    from = (size_t)at + oldText.size();
    if (!all) break;
  }
  out.append(src.data() + from, src.size() - from);
  return out;
}

}  // namespace

SVU_API void SVAPI FastReplace(const char* source, const char* pattern, const char* replacement,
                                 SvBool caseSensitive, SvStr* out) {
  sv::GuardVoid([&] {
    std::string_view src = sv::Text(source), pat = sv::Text(pattern), rep = sv::Text(replacement);
    // Nothing to look for leaves the text as it is.
    if (src.empty() || pat.empty()) return sv::PutStr(out, src);
    std::string r = caseSensitive ? ReplaceIn<ExactBytes>(src, pat, rep, true, SIZE_MAX)
                                  : ReplaceIn<NoCaseBytes>(src, pat, rep, true, SIZE_MAX);
    sv::PutStr(out, r);
  });
}

SVU_API void SVAPI FastAnsiReplace(const char* source, const char* oldPattern, const char* newPattern,
                                     int32_t flags, SvStr* out) {
  sv::GuardVoid([&] {
    std::string_view src = sv::Text(source), oldText = sv::Text(oldPattern), newText = sv::Text(newPattern);
    if (src.empty() || oldText.empty() || src.size() < oldText.size()) return sv::PutStr(out, src);
    const bool all = flags & 1, ignoreCase = flags & 2;
    const size_t cap = src.size() * 10;
    std::string r = ignoreCase ? ReplaceIn<NoCaseBytes>(src, oldText, newText, all, cap)
                               : ReplaceIn<ExactBytes>(src, oldText, newText, all, cap);
    sv::PutStr(out, r);
  });
}

SVU_API void SVAPI FastTagReplace(const char* source, const char* startTag, const char* endTag, SvTagProc proc,
                                    int32_t user, SvStr* out) {
  sv::GuardVoid([&] {
    std::string_view src = sv::Text(source), open = sv::Text(startTag), close = sv::Text(endTag);
    // Without a callback there is nothing to put in place of a span.
    if (src.empty() || open.empty() || close.empty() || !proc) return sv::PutStr(out, src);
    ForwardSearch<ExactBytes> findOpen(U(open.data()), open.size());
    ForwardSearch<ExactBytes> findClose(U(close.data()), close.size());
    std::string r;
    r.reserve(src.size());
    size_t from = 0;
    for (;;) {
      ptrdiff_t a = findOpen.Find(U(src.data()), src.size(), from);
      if (a < 0) break;
      size_t innerFrom = (size_t)a + open.size();
      ptrdiff_t b = findClose.Find(U(src.data()), src.size(), innerFrom);
      if (b < 0) break;
      r.append(src.data() + from, (size_t)a - from);
      // The callback owns the string while it runs and may replace it; what
      // it leaves there is ours to copy and release.
      SvStr inner = sv::NewStr(src.substr(innerFrom, (size_t)b - innerFrom));
      proc(&inner, user);
      r.append(sv::Bytes(inner));
      sv::Release(inner);
      from = (size_t)b + close.size();
    }
    r.append(src.data() + from, src.size() - from);
    sv::PutStr(out, r);
  });
}
