// LIKE matching of the SQL functions against a plain reference: the pattern
// is cut into literal characters, "_" and "%" (an escape character takes the
// character after it as a literal; as the last character it reads as
// itself), and matched by dynamic programming. Input: a flag byte (bit 0:
// with escape), the escape byte, then pattern and text separated by a zero
// byte.
#include <stddef.h>
#include <stdint.h>

#include <vector>

#include "fuzz_support.h"
#include "russian_text.h"

namespace {

enum Kind { kLiteral, kOne, kAny };
struct Token {
  Kind kind;
  unsigned char c;
};

std::vector<Token> Tokens(std::string_view pattern, int escape) {
  std::vector<Token> tokens;
  for (size_t p = 0; p < pattern.size(); ++p) {
    unsigned char c = (unsigned char)pattern[p];
    if (escape >= 0 && c == (unsigned char)escape && p + 1 < pattern.size()) {
      tokens.push_back({kLiteral, (unsigned char)pattern[++p]});
    } else if (c == '%') {
      tokens.push_back({kAny, 0});
    } else if (c == '_') {
      tokens.push_back({kOne, 0});
    } else {
      tokens.push_back({kLiteral, c});
    }
  }
  return tokens;
}

bool Reference(const std::vector<Token>& tokens, std::string_view text, const unsigned char fold[256]) {
  // match[t]: the tokens so far match the first t characters of the text.
  std::vector<char> match(text.size() + 1, 0), next(text.size() + 1);
  match[0] = 1;
  for (const Token& k : tokens) {
    std::fill(next.begin(), next.end(), 0);
    for (size_t t = 0; t <= text.size(); ++t) {
      if (k.kind == kAny) {
        next[t] = match[t] || (t > 0 && next[t - 1]);
      } else if (t > 0 && match[t - 1]) {
        next[t] = k.kind == kOne || fold[k.c] == fold[(unsigned char)text[t - 1]];
      }
    }
    match.swap(next);
  }
  return match[text.size()];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const int escape = (data[0] & 1) ? data[1] : -1;
  std::string_view parts[2];
  fuzz::SplitInput(std::string_view((const char*)data + 2, size - 2), '\0', parts, 2);
  unsigned char fold[256];
  for (int i = 0; i < 256; ++i) fold[i] = (unsigned char)(i >= 'a' && i <= 'z' ? i - 32 : i);
  const bool got = data::LikeMatch((const unsigned char*)parts[0].data(), parts[0].size(),
                                   (const unsigned char*)parts[1].data(), parts[1].size(), fold, escape);
  FUZZ_CHECK(got == Reference(Tokens(parts[0], escape), parts[1], fold));
  return 0;
}
