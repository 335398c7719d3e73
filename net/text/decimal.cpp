#include "text/decimal.h"

namespace svnet {

namespace {

constexpr int64_t kBeyondInt32 = int64_t{INT32_MAX} + 2;  // digits stop counting here

}  // namespace

int32_t ToInt(std::string_view text, int32_t fallback) {
  size_t i = 0;
  bool negative = false;
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) negative = text[0] == '-', i = 1;
  if (i == text.size()) return fallback;
  int64_t value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return fallback;
    value = value * 10 + (text[i] - '0');
    if (value >= kBeyondInt32) return fallback;
  }
  if (negative) value = -value;
  if (value > INT32_MAX || value < INT32_MIN) return fallback;
  return (int32_t)value;
}

}  // namespace svnet
