// Decimal text as the settings and job files hold it. Pure code: builds
// natively as well as for Windows.
#pragma once

#include <stdint.h>

#include <string_view>

namespace sv {

// Leading blanks (space, tab), an optional sign, then the digits up to the
// first other character. No digits gives 0; values wrap modulo 2^32, so
// "-1" gives 0xFFFFFFFF and "4294967297" gives 1 (as the platform's profile
// integer read does). Cast to int32_t for the signed reading.
inline uint32_t ParseDecimal(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  uint32_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) value = value * 10 + (uint32_t)(text[i] - '0');
  return negative ? 0u - value : value;
}

// True for a non-empty run of the digits 0-9 and nothing else.
inline bool IsDecimal(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

}  // namespace sv
