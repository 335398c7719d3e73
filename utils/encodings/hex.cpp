// The plain hexadecimal form of arbitrary bytes used in requests and
// settings: two lower-case digits per byte, high half first. The reader
// accepts only lower-case digits and drops any pair it cannot read.
#include <string>

#include "SolvikaUtils.h"
#include "guard.h"
#include "svstring.h"

namespace {

int LowerHexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

SVU_API SvStr SVAPI Str2HTTP(SvStr bytes) {
  return sv::Guard<SvStr>(nullptr, [&] {
    static const char kHex[] = "0123456789abcdef";
    std::string_view in = sv::Bytes(bytes);
    std::string out(in.size() * 2, '\0');
    for (size_t i = 0; i < in.size(); ++i) {
      unsigned char c = (unsigned char)in[i];
      out[2 * i] = kHex[c >> 4];
      out[2 * i + 1] = kHex[c & 15];
    }
    return sv::NewStr(out);
  });
}

SVU_API SvStr SVAPI HTTP2Str(const char* text) {
  return sv::Guard<SvStr>(nullptr, [&] {
    std::string_view in = sv::Text(text);
    std::string out;
    out.reserve(in.size() / 2);
    for (size_t i = 0; i + 2 <= in.size(); i += 2) {
      int hi = LowerHexValue(in[i]), lo = LowerHexValue(in[i + 1]);
      if (hi >= 0 && lo >= 0) out += (char)(hi << 4 | lo);
    }
    return sv::NewStr(out);
  });
}
