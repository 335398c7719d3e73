#include "base64.h"

#include <stdint.h>

namespace sv {

namespace {

const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
const size_t kGroupChars = 4;
const size_t kGroupBytes = 3;
const uint32_t kSixBits = 63;

// The six-bit value of an alphabet character, -1 for any other.
int Value(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

}  // namespace

std::string Base64Encode(std::string_view in) {
  std::string out;
  out.reserve((in.size() + kGroupBytes - 1) / kGroupBytes * kGroupChars);
  const unsigned char* p = (const unsigned char*)in.data();
  const size_t n = in.size();
  size_t i = 0;
  for (; i + kGroupBytes <= n; i += kGroupBytes) {
    uint32_t v = (uint32_t)p[i] << 16 | (uint32_t)p[i + 1] << 8 | p[i + 2];
    out += kAlphabet[v >> 18];
    out += kAlphabet[(v >> 12) & kSixBits];
    out += kAlphabet[(v >> 6) & kSixBits];
    out += kAlphabet[v & kSixBits];
  }
  if (n - i == 1) {
    uint32_t v = (uint32_t)p[i] << 16;
    out += kAlphabet[v >> 18];
    out += kAlphabet[(v >> 12) & kSixBits];
    out += "==";
  } else if (n - i == 2) {
    uint32_t v = (uint32_t)p[i] << 16 | (uint32_t)p[i + 1] << 8;
    out += kAlphabet[v >> 18];
    out += kAlphabet[(v >> 12) & kSixBits];
    out += kAlphabet[(v >> 6) & kSixBits];
    out += '=';
  }
  return out;
}

std::string Base64Decode(std::string_view in) {
  std::string out;
  out.reserve(in.size() / kGroupChars * kGroupBytes);
  for (size_t g = 0; g + kGroupChars <= in.size(); g += kGroupChars) {
    uint32_t v = 0;
    int valid = 0;
    for (size_t k = 0; k < kGroupChars; ++k) {
      int x = Value((unsigned char)in[g + k]);
      if (x >= 0) ++valid;
      v = v << 6 | (uint32_t)(x >= 0 ? x : 0);
    }
    const int bytes = valid == 4 ? 3 : valid == 3 ? 2 : valid == 2 ? 1 : 0;
    for (int k = 0; k < bytes; ++k) out += (char)(v >> (16 - 8 * k));
  }
  return out;
}

}  // namespace sv
