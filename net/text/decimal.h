// Decimal numbers in texts that come from outside (file lists, server
// replies). Plain C++ with no Windows API.
#pragma once

#include <cstdint>
#include <string_view>

namespace svnet {

// An optional sign followed by decimal digits and nothing else, within the
// 32-bit range; anything else (also an empty text) gives `fallback`.
int32_t ToInt(std::string_view text, int32_t fallback);

}  // namespace svnet
