// The engine's text work on std::string, done by the utility library: field
// splitting (_ParceChar, _ParceTab, _ParceHosts), replacing (FastReplace) and
// upper-casing (SVUpCase).
#pragma once

#include <string>
#include <vector>

namespace svnet {

// The fields of `text` in the order the library's field reader yields them
// ("a/b" gives a and b; a trailing separator gives no empty field).
std::vector<std::string> Fields(const std::string& text, char sep);
// Every occurrence of `from` replaced by `to` (case-sensitive).
std::string Replace(const std::string& text, const std::string& from, const std::string& to);
std::string UpCase(const std::string& text);

}  // namespace svnet
