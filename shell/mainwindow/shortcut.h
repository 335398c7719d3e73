// Menu shortcuts in their text form ("Ctrl+Alt+F4", "Ctrl+Space", "F5"),
// turned into accelerator keys.
#pragma once

#include <cstdint>
#include <string_view>

namespace shell {

struct Shortcut {
  bool valid = false;
  bool ctrl = false, alt = false, shift = false;
  uint16_t virtualKey = 0;
};

Shortcut ParseShortcut(std::string_view text);

}  // namespace shell
