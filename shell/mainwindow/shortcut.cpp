#include "shortcut.h"

#include <string>

namespace shell {

namespace {

// Virtual-key codes of the keys the menus use (the platform's values).
constexpr uint16_t kKeySpace = 0x20;
constexpr uint16_t kKeyF1 = 0x70;
constexpr int kFunctionKeys = 24;

bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = char(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = char(y - 'a' + 'A');
    if (x != y) return false;
  }
  return true;
}

uint16_t KeyOf(std::string_view name) {
  if (SameText(name, "Space")) return kKeySpace;
  if (name.size() == 1) {
    char c = name[0];
    if (c >= '0' && c <= '9') return uint16_t(c);
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    if (c >= 'A' && c <= 'Z') return uint16_t(c);
    return 0;
  }
  if (name.size() >= 2 && (name[0] == 'F' || name[0] == 'f')) {
    int n = 0;
    for (size_t i = 1; i < name.size(); ++i) {
      if (name[i] < '0' || name[i] > '9') return 0;
      n = n * 10 + (name[i] - '0');
    }
    if (n >= 1 && n <= kFunctionKeys) return uint16_t(kKeyF1 + n - 1);
  }
  return 0;
}

}  // namespace

Shortcut ParseShortcut(std::string_view text) {
  Shortcut s;
  while (!text.empty()) {
    size_t plus = text.find('+');
    // A last part "+" would be the plus key itself; the menus use none.
    std::string_view part = text.substr(0, plus);
    if (plus == std::string_view::npos) {
      s.virtualKey = KeyOf(part);
      s.valid = s.virtualKey != 0;
      return s;
    }
    if (SameText(part, "Ctrl"))
      s.ctrl = true;
    else if (SameText(part, "Alt"))
      s.alt = true;
    else if (SameText(part, "Shift"))
      s.shift = true;
    else
      return Shortcut();
    text.remove_prefix(plus + 1);
  }
  return Shortcut();
}

}  // namespace shell
