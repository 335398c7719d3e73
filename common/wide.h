// Conversions between the system's Windows-1251 text and UTF-16, used only at
// the edge where text goes to or comes from a Windows API.
#pragma once

#include <string>
#include <string_view>

namespace sv {

std::wstring Wide(std::string_view text1251);
std::string Narrow(std::wstring_view wide);

// Windows-1251 bytes of a UTF-8 literal, so that fixed Russian texts can be
// written readably in the source: sv::Ru(u8"Ошибка").
std::string Ru(const char* utf8);
#ifdef __cpp_char8_t
std::string Ru(const char8_t* utf8);
#endif

}  // namespace sv
