// Substrings of 8-bit text: a slice from a 1-based position, the left part
// and the right part. Counts that run past the end are cut to the end.
#include "SolvikaUtils.h"
#include "guard.h"
#include "svstring.h"

SVU_API void SVAPI FastCopyStr(const char* source, int32_t start, int32_t count, SvStr* out) {
  sv::GuardVoid([&] {
    std::string_view src = sv::Text(source);
    if (src.empty() || start < 1 || count < 1 || (size_t)start > src.size()) return sv::PutStr(out, {});
    sv::PutStr(out, src.substr((size_t)start - 1, (size_t)count));
  });
}

SVU_API void SVAPI FastLeftStr(const char* source, int32_t count, SvStr* out) {
  sv::GuardVoid([&] {
    std::string_view src = sv::Text(source);
    sv::PutStr(out, count <= 0 ? std::string_view() : src.substr(0, (size_t)count));
  });
}

SVU_API void SVAPI FastRightStr(const char* source, int32_t count, SvStr* out) {
  sv::GuardVoid([&] {
    std::string_view src = sv::Text(source);
    if (count <= 0) return sv::PutStr(out, {});
    sv::PutStr(out, (size_t)count >= src.size() ? src : src.substr(src.size() - (size_t)count));
  });
}
