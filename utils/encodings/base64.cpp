// Base64 with the standard alphabet and "=" padding, no line breaks. The
// decoder reads whole groups of four characters; a character outside the
// alphabet (the padding included) still takes its six-bit place but does not
// count, so a group yields as many bytes as its valid characters allow.
#include <string>

#include "SolvikaUtils.h"
#include "guard.h"
#include "svstring.h"

namespace {

const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string Encode(std::string_view in) {
  std::string out;
  out.reserve((in.size() + 2) / 3 * 4);
  const unsigned char* p = (const unsigned char*)in.data();
  size_t n = in.size(), i = 0;
  for (; i + 3 <= n; i += 3) {
    uint32_t v = (uint32_t)p[i] << 16 | (uint32_t)p[i + 1] << 8 | p[i + 2];
    out += kAlphabet[v >> 18];
    out += kAlphabet[(v >> 12) & 63];
    out += kAlphabet[(v >> 6) & 63];
    out += kAlphabet[v & 63];
  }
  if (n - i == 1) {
    uint32_t v = (uint32_t)p[i] << 16;
    out += kAlphabet[v >> 18];
    out += kAlphabet[(v >> 12) & 63];
    out += "==";
  } else if (n - i == 2) {
    uint32_t v = (uint32_t)p[i] << 16 | (uint32_t)p[i + 1] << 8;
    out += kAlphabet[v >> 18];
    out += kAlphabet[(v >> 12) & 63];
    out += kAlphabet[(v >> 6) & 63];
    out += '=';
  }
  return out;
}

int Value(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

std::string Decode(std::string_view in) {
  std::string out;
  out.reserve(in.size() / 4 * 3);
  for (size_t g = 0; g + 4 <= in.size(); g += 4) {
    uint32_t v = 0;
    int valid = 0;
    for (int k = 0; k < 4; ++k) {
      int x = Value((unsigned char)in[g + k]);
      if (x >= 0) ++valid;
      v = v << 6 | (uint32_t)(x >= 0 ? x : 0);
    }
    const int bytes = valid == 4 ? 3 : valid == 3 ? 2 : valid == 2 ? 1 : 0;
    for (int k = 0; k < bytes; ++k) out += (char)(v >> (16 - 8 * k));
  }
  return out;
}

}  // namespace

SV_EXPORT SvStr SVAPI EncodeBase64(SvStr bytes) {
  return sv::Guard<SvStr>(nullptr, [&] { return sv::NewStr(Encode(sv::Bytes(bytes))); });
}

SV_EXPORT SvStr SVAPI DecodeBase64(SvStr text) {
  return sv::Guard<SvStr>(nullptr, [&] { return sv::NewStr(Decode(sv::Bytes(text))); });
}
