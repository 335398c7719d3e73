// Text helpers of the network engine that need no Windows API: field
// splitting as the system's list readers do it, and replacing.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace svnet {

// Takes the text up to the next `sep` out of `rest` (the separator is
// consumed); false when `rest` was empty.
bool NextField(std::string* rest, std::string* field, char sep);
std::vector<std::string> SplitAll(const std::string& text, char sep);
std::string ReplaceAll(std::string text, std::string_view from, std::string_view to);
std::string UpperAscii(std::string text);
// Decimal text of a number; an invalid or empty text gives `def`.
int32_t ToInt(std::string_view text, int32_t def);

}  // namespace svnet
