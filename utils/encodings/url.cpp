// URL form encoding: digits, Latin letters and "_" stay, a space becomes "+",
// every other byte becomes "%" and two upper-case hexadecimal digits.
#include <string>

#include "SolvikaUtils.h"
#include "guard.h"
#include "svstring.h"

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::string Encode(std::string_view in) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(in.size() * 3);
  for (unsigned char c : in) {
    if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_') {
      out += (char)c;
    } else if (c == ' ') {
      out += '+';
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

std::string Decode(std::string_view in) {
  std::string out;
  out.reserve(in.size());
  for (size_t i = 0; i < in.size(); ++i) {
    char c = in[i];
    if (c == '+') {
      out += ' ';
    } else if (c == '%' && i + 2 < in.size()) {
      // An escape whose two characters are not both hexadecimal digits is
      // consumed whole and gives a zero byte.
      int hi = HexValue(in[i + 1]), lo = HexValue(in[i + 2]);
      out += (hi >= 0 && lo >= 0) ? (char)(hi << 4 | lo) : '\0';
      i += 2;
    } else {
      // Also a "%" too close to the end for an escape: kept as it is.
      out += c;
    }
  }
  return out;
}

}  // namespace

SVU_API SvStr SVAPI UrlEncode(SvStr text) {
  return sv::Guard<SvStr>(nullptr, [&] { return sv::NewStr(Encode(sv::Bytes(text))); });
}

SVU_API SvStr SVAPI UrlDecode(const char* text) {
  return sv::Guard<SvStr>(nullptr, [&] { return sv::NewStr(Decode(sv::Text(text))); });
}
