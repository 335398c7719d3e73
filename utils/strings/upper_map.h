// The 256-byte upper-case map of the ANSI code page, built once at load and
// only read afterwards. The NoCase search functions compare through it.
#pragma once

#include <stdint.h>

namespace utils {

extern uint8_t g_upperMap[256];

inline uint8_t UpperByte(uint8_t c) { return g_upperMap[c]; }

}  // namespace utils
