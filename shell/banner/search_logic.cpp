#include "search_logic.h"

#include "banner_logic.h"

namespace shell {

std::string TrimSearchText(const std::string& text) {
  auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  size_t first = 0, last = text.size();
  while (first < last && blank(text[first])) ++first;
  while (last > first && blank(text[last - 1])) --last;
  return text.substr(first, last - first);
}

std::string SearchAddress(const std::string& go, const std::string& text) {
  return go + "?q=" + UrlQueryEncode(text);
}

std::string SearchHeaders(const std::string& referrer) { return "Referer: " + referrer + "\r\n"; }

SearchTick NextSearchTick(bool hasText, int ticksSoFar, bool focused) {
  if (hasText && ticksSoFar < kSearchIdleTicks) return SearchTick::kKeepOpen;
  if (focused) return SearchTick::kKeepOpen;
  return SearchTick::kFold;
}

}  // namespace shell
