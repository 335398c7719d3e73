// Tab-separated lists of masks or names, read field by field as _ParceTab
// does. Empty fields (a doubled or leading tab) are skipped: an empty mask
// would otherwise select every entry.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace svpu {

inline std::vector<std::string> SplitList(std::string_view text) {
  std::vector<std::string> items;
  size_t start = 0;
  while (start <= text.size()) {
    size_t tab = text.find('\t', start);
    if (tab == std::string_view::npos) tab = text.size();
    if (tab > start) items.emplace_back(text.substr(start, tab - start));
    start = tab + 1;
  }
  return items;
}

// Splits 8-bit text into lines at CR LF, LF or a lone CR; empty lines are
// dropped.
inline std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    if (end > start) lines.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

}  // namespace svpu
