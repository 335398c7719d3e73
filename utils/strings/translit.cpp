// Transliteration of a Russian (Windows-1251) file name into a safe Latin
// one: letters become their usual Latin spelling in lower case, digits, Latin
// letters and "()-._" stay, everything else becomes "_".
#include <string>

#include "SolvikaUtils.h"
#include "guard.h"
#include "svstring.h"

namespace {

// The 32 letters from А (0xC0) to Я (0xDF); lower case sits 0x20 above.
const char* const kLetters[32] = {"a", "b", "v",  "g",  "d",   "e", "zh", "z", "i",  "y",  "k",
                                  "l", "m", "n",  "o",  "p",   "r", "s",  "t", "u",  "f",  "h",
                                  "c", "ch", "sh", "sch", "_", "y", "_",  "e", "yu", "ya"};

const char* Spelling(unsigned char c) {
  if (c >= 0xC0) return kLetters[(c - 0xC0) & 0x1F];
  switch (c) {
    case 0xAA: case 0xBA:  // Є є
      return "e";
    case 0xB2: case 0xB3:  // І і
    case 0xAF: case 0xBF:  // Ї ї
      return "i";
    default:
      break;
  }
  if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '(' || c == ')' ||
      c == '-' || c == '.' || c == '_')
    return nullptr;  // kept as it is
  return "_";
}

}  // namespace

SVU_API void SVAPI TranslateFilename(SvStr* out, const char* text) {
  sv::GuardVoid([&] {
    std::string_view src = sv::Text(text);
    std::string r;
    r.reserve(src.size() * 2);
    for (unsigned char c : src) {
      const char* s = Spelling(c);
      if (s) r += s;
      else r += (char)c;
    }
    // A leading dot would make a hidden or relative-looking name.
    if (!r.empty() && r[0] == '.') r[0] = '_';
    sv::PutStr(out, r);
  });
}
