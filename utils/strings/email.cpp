// The form check of an e-mail address: allowed characters only, something
// before the "@", and a domain of at least four characters with a dot that
// is not its first character.
#include "SolvikaUtils.h"
#include "guard.h"
#include "svstring.h"

namespace {

bool Allowed(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '-' || c == '.' ||
         c == '@' || c == '_';
}

}  // namespace

SVU_API SvBool SVAPI isValidEmail(const char* text) {
  return sv::Guard<SvBool>(0, [&]() -> SvBool {
    std::string_view s = sv::Text(text);
    for (char c : s)
      if (!Allowed(c)) return 0;
    size_t at = s.find('@');
    if (at == std::string_view::npos || at == 0) return 0;
    std::string_view domain = s.substr(at + 1);
    if (domain.size() < 4 || domain.find('@') != std::string_view::npos) return 0;
    size_t dot = domain.find('.');
    return dot != std::string_view::npos && dot != 0;
  });
}
