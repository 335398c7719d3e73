// Writing a file so that a crash never leaves half of it: the new content goes
// to a temporary file beside the target, which then replaces the target in
// one step.
#pragma once

#include <string>
#include <string_view>

namespace sv {

// Writes `bytes` to `temp` (flushed), then moves it over `target`. On failure
// the temporary file is removed and the old target is left as it was.
bool WriteFileReplacing(const std::wstring& target, const std::wstring& temp, std::string_view bytes);

}  // namespace sv
