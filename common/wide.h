// Conversions between the system's Windows-1251 text and UTF-16, used only at
// the edge where text goes to or comes from a Windows API.
#pragma once

#include <string>
#include <string_view>

namespace sv {

std::wstring Wide(std::string_view text1251);
std::string Narrow(std::wstring_view wide);

}  // namespace sv
