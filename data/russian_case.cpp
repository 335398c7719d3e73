// The Russian locale's case mapping, turned into byte maps over code page 1251
// so that the SQL functions work on the stored bytes directly.
#include <windows.h>

#include "russian_text.h"

namespace data {

namespace {

const UINT kCodePage = 1251;
const LCID kRussian = MAKELCID(MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT), SORT_DEFAULT);

unsigned char MapByte(unsigned char b, DWORD how) {
  wchar_t w = 0, mapped = 0;
  if (MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, (const char*)&b, 1, &w, 1) != 1) return b;
  if (LCMapStringW(kRussian, how, &w, 1, &mapped, 1) != 1) return b;
  char out = 0;
  BOOL lossy = FALSE;
  if (WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, &mapped, 1, &out, 1, nullptr, &lossy) != 1 || lossy)
    return b;
  return (unsigned char)out;
}

CaseMaps Build() {
  CaseMaps m;
  for (int i = 0; i < 256; ++i) {
    m.upper[i] = MapByte((unsigned char)i, LCMAP_UPPERCASE);
    m.lower[i] = MapByte((unsigned char)i, LCMAP_LOWERCASE);
  }
  return m;
}

}  // namespace

const CaseMaps& RussianCase() {
  static const CaseMaps maps = Build();
  return maps;
}

}  // namespace data
