#include "wide.h"

#include <windows.h>

namespace sv {

static const UINT kCodePage = 1251;

std::wstring Wide(std::string_view text) {
  if (text.empty()) return std::wstring();
  int n = MultiByteToWideChar(kCodePage, 0, text.data(), (int)text.size(), nullptr, 0);
  std::wstring out((size_t)n, L'\0');
  if (n > 0) MultiByteToWideChar(kCodePage, 0, text.data(), (int)text.size(), &out[0], n);
  return out;
}

std::string Narrow(std::wstring_view wide) {
  if (wide.empty()) return std::string();
  int n = WideCharToMultiByte(kCodePage, 0, wide.data(), (int)wide.size(), nullptr, 0, nullptr, nullptr);
  std::string out((size_t)n, '\0');
  if (n > 0) WideCharToMultiByte(kCodePage, 0, wide.data(), (int)wide.size(), &out[0], n, nullptr, nullptr);
  return out;
}

std::string Ru(const char* utf8) {
  int n = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
  if (n <= 1) return std::string();
  std::wstring wide((size_t)n, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8, -1, &wide[0], n);
  wide.resize((size_t)n - 1);
  return Narrow(wide);
}

#ifdef __cpp_char8_t
std::string Ru(const char8_t* utf8) { return Ru(reinterpret_cast<const char*>(utf8)); }
#endif

}  // namespace sv
