// Base64 with the standard alphabet and "=" padding, no line breaks. Pure
// code: builds natively as well as for Windows.
#pragma once

#include <string>
#include <string_view>

namespace sv {

std::string Base64Encode(std::string_view bytes);

// Reads whole groups of four characters (a shorter tail is ignored); a
// character outside the alphabet, the padding included, still takes its
// six-bit place but does not count, so a group yields as many bytes as its
// valid characters allow (4 -> 3, 3 -> 2, 2 -> 1, fewer -> none).
std::string Base64Decode(std::string_view text);

}  // namespace sv
