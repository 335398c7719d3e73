// Russian-aware upper-casing and comparison, and the Windows-1251 to UTF-16
// conversion handed out as a BSTR.
#include <windows.h>
#include <oleauto.h>

#include <string>

#include "SolvikaUtils.h"
#include "cp1251_case.h"
#include "guard.h"
#include "svstring.h"
#include "wide.h"

// Only "a"-"z" and the 33 Russian letters change; "ё" and "Ё" both become "Е".
SVU_API void SVAPI SVUpCase(SvStr* out, const char* text) {
  sv::GuardVoid([&] {
    std::string r(sv::Text(text));
    for (char& c : r) c = (char)sv::UpperRussianPlain((unsigned char)c);
    sv::PutStr(out, r);
  });
}

SVU_API int32_t SVAPI RusCompareStr(const char* first, const char* second) {
  return sv::Guard<int32_t>(-2, [&] {
    std::wstring a = sv::Wide(sv::Text(first)), b = sv::Wide(sv::Text(second));
    const LCID russian = MAKELCID(MAKELANGID(0x19, SUBLANG_DEFAULT), SORT_DEFAULT);
    int r = CompareStringW(russian, NORM_IGNORECASE, a.data(), (int)a.size(), b.data(), (int)b.size());
    return (int32_t)r - 2;
  });
}

SVU_API void SVAPI RusToUnicode(BSTR* out, const char* text) {
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
