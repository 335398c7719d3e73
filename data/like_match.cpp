// LIKE matching without recursion: on a mismatch the pattern goes back to the
// character after the last "%" and that "%" takes one more character of the
// text, so the work stays at most proportional to pattern times text length.
#include "russian_text.h"

namespace data {

bool LikeMatch(const unsigned char* pattern, size_t patternLen, const unsigned char* text, size_t textLen,
               const unsigned char fold[256], int escape) {
  size_t p = 0, t = 0;
  size_t starP = 0, starT = 0;
  bool haveStar = false;
  while (t < textLen) {
    if (p < patternLen) {
      unsigned char c = pattern[p];
      size_t step = 1;
      bool literal = false;
      if (escape >= 0 && c == (unsigned char)escape && p + 1 < patternLen) {
        c = pattern[p + 1];
        step = 2;
        literal = true;
      }
      if (!literal && c == '%') {
        haveStar = true;
        starP = ++p;
        starT = t;
        continue;
      }
      if ((!literal && c == '_') || fold[c] == fold[text[t]]) {
        p += step;
        ++t;
        continue;
      }
    }
    if (!haveStar) return false;
    p = starP;
    t = ++starT;
  }
  // The text is used up: only "%" wildcards may be left. An escaped character
  // (also an escaped "%" when "%" is the escape) needs a character of its own;
  // an escape as the very last character reads as itself, as above.
  while (p < patternLen && pattern[p] == '%' &&
         !(escape >= 0 && pattern[p] == (unsigned char)escape && p + 1 < patternLen))
    ++p;
  return p == patternLen;
}

}  // namespace data
