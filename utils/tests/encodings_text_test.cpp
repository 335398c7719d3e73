// Base64, URL encoding, the hexadecimal form and the scrambling routines
// through the DLL.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "SolvikaUtils.h"
#include "test_support.h"
#include "wide.h"

namespace {

std::string B64(const std::string& s) { return sv::Take(EncodeBase64(sv::OwnedStr(s))); }
std::string Un64(const std::string& s) { return sv::Take(DecodeBase64(sv::OwnedStr(s))); }
std::string AllBytes() {
  std::string s;
  for (int i = 0; i < 256; ++i) s += (char)i;
  return s;
}

}  // namespace

TEST(EncodingsText, Base64Rfc4648Vectors) {
  const std::pair<const char*, const char*> vectors[] = {{"", ""},         {"f", "Zg=="},         {"fo", "Zm8="},
                                                         {"foo", "Zm9v"},  {"foob", "Zm9vYg=="},  {"fooba", "Zm9vYmE="},
                                                         {"foobar", "Zm9vYmFy"}};
  for (auto& v : vectors) {
    EXPECT_EQ(v.second, B64(v.first));
    EXPECT_EQ(v.first, Un64(v.second));
  }
  EXPECT_EQ("QQ==", B64("A"));
  EXPECT_EQ("A", Un64("QQ=="));
  EXPECT_EQ("", Un64("QQ"));         // no whole group
  EXPECT_EQ("foo", Un64("Zm9vYg"));  // the broken group at the end is ignored
  EXPECT_EQ("+/+/", B64("\xfb\xff\xbf"));
  // Every byte value survives, embedded zeros included.
  const std::string all = AllBytes();
  EXPECT_EQ(344u, B64(all).size());
  EXPECT_EQ(all, Un64(B64(all)));
  // A character outside the alphabet keeps its place but does not count.
  EXPECT_EQ(std::string("\x00", 1), Un64("A A="));
}

TEST(EncodingsText, UrlEncodeEveryByte) {
  const std::string encoded = sv::Take(UrlEncode(sv::OwnedStr(AllBytes())));
  std::string want;
  char buf[4];
  for (int c = 0; c < 256; ++c) {
    if (isalnum(c) && c < 128) want += (char)c;
    else if (c == '_') want += '_';
    else if (c == ' ') want += '+';
    else {
      snprintf(buf, sizeof buf, "%%%02X", c);
      want += buf;
    }
  }
  EXPECT_EQ(want, encoded);
  EXPECT_EQ("a+b%2Dc", sv::Take(UrlEncode(sv::OwnedStr("a b-c"))));
  EXPECT_EQ("%FF", sv::Take(UrlEncode(sv::OwnedStr(sv::Ru(u8"я")))));
  EXPECT_EQ("%2E%7E", sv::Take(UrlEncode(sv::OwnedStr(".~"))));
  // Decoding gives back every byte up to the first zero.
  EXPECT_EQ(AllBytes().substr(1), sv::Take(UrlDecode(UrlEncode(sv::OwnedStr(AllBytes().substr(1))))));
}

TEST(EncodingsText, UrlDecode) {
  EXPECT_EQ("/", sv::Take(UrlDecode("%2f")));
  EXPECT_EQ("/", sv::Take(UrlDecode("%2F")));
  EXPECT_EQ("a b", sv::Take(UrlDecode("a+b")));
  EXPECT_EQ(std::string("x\0y", 3), sv::Take(UrlDecode("x%zzy")));  // a bad escape is consumed whole
  EXPECT_EQ("50%", sv::Take(UrlDecode("50%")));                     // no reading past the end
  EXPECT_EQ("5%4", sv::Take(UrlDecode("5%4")));
  EXPECT_EQ(nullptr, UrlDecode(""));
}

TEST(EncodingsText, HexForm) {
  EXPECT_EQ("4162", sv::Take(Str2HTTP(sv::OwnedStr("Ab"))));
  EXPECT_EQ(nullptr, Str2HTTP(nullptr));
  EXPECT_EQ("AB", sv::Take(HTTP2Str("41zz42")));
  EXPECT_EQ("A", sv::Take(HTTP2Str("414")));
  EXPECT_EQ("", sv::Take(HTTP2Str("4A")));  // upper-case digits are not read
  const std::string all = AllBytes();
  const std::string hex = sv::Take(Str2HTTP(sv::OwnedStr(all)));
  EXPECT_EQ(512u, hex.size());
  EXPECT_EQ("000102", hex.substr(0, 6));
  EXPECT_EQ("feff", hex.substr(508));
  EXPECT_EQ(all, sv::Take(HTTP2Str(hex.c_str())));
}

TEST(EncodingsText, ScramblingRoundTrips) {
  std::mt19937 rng(5);
  std::string data(1000, '\0');
  for (char& c : data) c = (char)rng();
  for (int32_t key : {0, 1, 0x5A, 255, 0x1234, -1}) {
    std::string buf = data;
    XorBlock(&buf[0], (int32_t)buf.size(), key);
    EXPECT_EQ((char)(data[0] ^ (uint8_t)key), buf[0]);
    XorBlock(&buf[0], (int32_t)buf.size(), key);
    EXPECT_EQ(data, buf);

    sv::OwnedStr s(data);
    std::string x = sv::Take(XorStr(s, key));
    EXPECT_EQ(data, std::string(s, data.size()));  // the argument is not changed
    EXPECT_EQ(data, sv::Take(XorStr(sv::OwnedStr(x), key)));

    SVXAE(&buf[0], (int32_t)buf.size(), key);
    EXPECT_EQ((char)((data[299] ^ (uint8_t)key) + 300), buf[299]);
    SVXAD(&buf[0], (int32_t)buf.size(), key);
    EXPECT_EQ(data, buf);
  }
  std::string keep = "abc";
  SVXAE(&keep[0], 0, 7);
  XorBlock(&keep[0], -3, 7);
  SVXAD(nullptr, 10, 7);
  EXPECT_EQ("abc", keep);
  EXPECT_EQ(nullptr, XorStr(nullptr, 7));
}
