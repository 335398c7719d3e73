// The search box's plain rules: the text sent, the address and header of
// the query, and when the box folds back into its picture.
#pragma once

#include <string>

namespace shell {

constexpr unsigned kSearchTickMs = 1000;
// Ticks an unfocused box with text stays open before it folds back.
constexpr int kSearchIdleTicks = 60;
constexpr char kSearchTargetFrame[] = "google_window";

// The text without leading and trailing blanks and control characters.
std::string TrimSearchText(const std::string& text);
// "SG_Go" + "?q=" + the form-encoded text.
std::string SearchAddress(const std::string& go, const std::string& text);
// "Referer: " + "SG_Ref" + CR LF.
std::string SearchHeaders(const std::string& referrer);

// One tick of the search timer: the box stays (the tick counts) while it
// holds text for fewer than 60 ticks, or while it has the focus; otherwise
// it is emptied, hidden and the timer stops.
enum class SearchTick { kKeepOpen, kFold };
SearchTick NextSearchTick(bool hasText, int ticksSoFar, bool focused);

}  // namespace shell
