// Russian-aware upper-casing and comparison, and the Windows-1251 to UTF-16
// conversion handed out as a BSTR.
#include <windows.h>
#include <oleauto.h>

#include <string>

#include "SolvikaUtils.h"
#include "guard.h"
#include "svstring.h"
#include "wide.h"

namespace {

// Upper-casing for SVUpCase: the 33 Russian lower-case letters and "Ё" map
// onto the upper-case letters, with "ё" and "Ё" both folded to "Е"; otherwise
// only "a" to "z" change.
struct UpTable {
  unsigned char map[256];
  UpTable() {
    for (int i = 0; i < 256; ++i) map[i] = (unsigned char)i;
    for (int c = 'a'; c <= 'z'; ++c) map[c] = (unsigned char)(c - 32);
    for (int c = 0xE0; c <= 0xFF; ++c) map[c] = (unsigned char)(c - 0x20);  // а..я -> А..Я
    map[0xB8] = 0xC5;  // ё -> Е
    map[0xA8] = 0xC5;  // Ё -> Е
  }
};

const UpTable kUp;

}  // namespace

SV_EXPORT void SVAPI SVUpCase(SvStr* out, const char* text) {
  sv::GuardVoid([&] {
    std::string r(sv::Text(text));
    for (char& c : r) c = (char)kUp.map[(unsigned char)c];
    sv::PutStr(out, r);
  });
}

SV_EXPORT int32_t SVAPI RusCompareStr(const char* first, const char* second) {
  return sv::Guard<int32_t>(-2, [&] {
    std::wstring a = sv::Wide(sv::Text(first)), b = sv::Wide(sv::Text(second));
    const LCID russian = MAKELCID(MAKELANGID(0x19, SUBLANG_DEFAULT), SORT_DEFAULT);
    int r = CompareStringW(russian, NORM_IGNORECASE, a.data(), (int)a.size(), b.data(), (int)b.size());
    return (int32_t)r - 2;
  });
}

SV_EXPORT void SVAPI RusToUnicode(BSTR* out, const char* text) {
  sv::GuardVoid([&] {
    if (!out) return;
    // Code page 1251 is one byte per character, so the text converts in one
    // step however long it is.
    std::wstring w = sv::Wide(sv::Text(text));
    BSTR fresh = w.empty() ? nullptr : SysAllocStringLen(w.data(), (UINT)w.size());
    BSTR old = *out;
    *out = fresh;
    if (old) SysFreeString(old);
  });
}
