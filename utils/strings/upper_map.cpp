#include "upper_map.h"

#include <windows.h>

#include "load_steps.h"

namespace utils {

uint8_t g_upperMap[256];

void BuildUpperMap() {
  char buf[256];
  for (int i = 0; i < 256; i++) buf[i] = (char)i;
  // All 256 bytes go through the platform's in-place upper-casing at once.
  CharUpperBuffA(buf, 256);
  for (int i = 0; i < 256; i++) g_upperMap[i] = (uint8_t)buf[i];
}

}  // namespace utils
