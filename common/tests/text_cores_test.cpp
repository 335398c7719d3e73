// The pure text cores: Base64, decimal numbers and the 1251 case maps, the
// latter checked against the platform's own Russian case mapping.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "base64.h"
#include "cp1251_case.h"
#include "decimal.h"
#include "ini_text.h"
#include "wide.h"

namespace {

TEST(Base64, EncodesEveryTailLength) {
  EXPECT_EQ("", sv::Base64Encode(""));
  EXPECT_EQ("Zg==", sv::Base64Encode("f"));
  EXPECT_EQ("Zm8=", sv::Base64Encode("fo"));
  EXPECT_EQ("Zm9v", sv::Base64Encode("foo"));
  EXPECT_EQ("Zm9vYmFy", sv::Base64Encode("foobar"));
  EXPECT_EQ("AP8+/w==", sv::Base64Encode(std::string("\x00\xff\x3e\xff", 4)));
}

TEST(Base64, RoundTripsAllByteValues) {
  std::string all;
  for (int i = 0; i < 256; ++i) all += (char)i;
  for (size_t n = 0; n <= all.size(); n += 37)
    EXPECT_EQ(all.substr(0, n), sv::Base64Decode(sv::Base64Encode(all.substr(0, n))));
}

TEST(Base64, DecodesOnlyWholeGroupsAndCountsValidCharacters) {
  EXPECT_EQ("foo", sv::Base64Decode("Zm9vYm"));  // the short tail is ignored
  EXPECT_EQ("f", sv::Base64Decode("Zg=="));
  EXPECT_EQ("fo", sv::Base64Decode("Zm8="));
  EXPECT_EQ("", sv::Base64Decode("Z==="));
  EXPECT_EQ("", sv::Base64Decode("===="));
  // A stray character keeps its place but yields one byte fewer.
  EXPECT_EQ(sv::Base64Decode("Zm9v").substr(0, 2), sv::Base64Decode("Zm9!").substr(0, 2));
  EXPECT_EQ(2u, sv::Base64Decode("Zm9!").size());
}

TEST(Decimal, ReadsLikeTheProfileIntegerRead) {
  EXPECT_EQ(0u, sv::ParseDecimal(""));
  EXPECT_EQ(0u, sv::ParseDecimal("abc"));
  EXPECT_EQ(0u, sv::ParseDecimal("-"));
  EXPECT_EQ(42u, sv::ParseDecimal("42"));
  EXPECT_EQ(42u, sv::ParseDecimal(" \t+42xyz"));
  EXPECT_EQ(0xFFFFFFFFu, sv::ParseDecimal("-1"));
  EXPECT_EQ(-123, (int32_t)sv::ParseDecimal("\t-123"));
  EXPECT_EQ(0u, sv::ParseDecimal(" 1 2") - 1u);   // stops at the blank
  EXPECT_EQ(1u, sv::ParseDecimal("4294967297"));  // wraps modulo 2^32
  EXPECT_EQ(0x80000000u, sv::ParseDecimal("2147483648"));
  EXPECT_EQ(0u, sv::ParseDecimal("- 5"));
}

TEST(Decimal, IsDecimalWantsDigitsOnly) {
  EXPECT_TRUE(sv::IsDecimal("0"));
  EXPECT_TRUE(sv::IsDecimal("0123456789"));
  EXPECT_FALSE(sv::IsDecimal(""));
  EXPECT_FALSE(sv::IsDecimal("+1"));
  EXPECT_FALSE(sv::IsDecimal("1 "));
}

// The case of one byte as the platform's Russian locale maps it; the byte
// itself when the mapped letter has no 1251 form.
unsigned char PlatformCase(unsigned char b, DWORD how) {
  const LCID russian = MAKELCID(MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT), SORT_DEFAULT);
  wchar_t w = 0, mapped = 0;
  if (MultiByteToWideChar(1251, MB_ERR_INVALID_CHARS, (const char*)&b, 1, &w, 1) != 1) return b;
  if (LCMapStringW(russian, how, &w, 1, &mapped, 1) != 1) return b;
  char out = 0;
  BOOL lossy = FALSE;
  if (WideCharToMultiByte(1251, WC_NO_BEST_FIT_CHARS, &mapped, 1, &out, 1, nullptr, &lossy) != 1 || lossy) return b;
  return (unsigned char)out;
}

TEST(Case1251, AgreesWithThePlatformForEveryByte) {
  for (int i = 0; i < 256; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(PlatformCase((unsigned char)i, LCMAP_UPPERCASE), sv::Upper1251((unsigned char)i));
    EXPECT_EQ(PlatformCase((unsigned char)i, LCMAP_LOWERCASE), sv::Lower1251((unsigned char)i));
  }
}

TEST(Case1251, MapsTextBothWays) {
  EXPECT_EQ(sv::Ru(u8"ПРИВЕТ, WORLD! ЁЖ ЇҐ"), sv::ToUpper1251(sv::Ru(u8"Привет, world! ёж їґ")));
  EXPECT_EQ(sv::Ru(u8"привет, world! ёж їґ"), sv::ToLower1251(sv::Ru(u8"ПРИВЕТ, WORLD! ЁЖ ЇҐ")));
  EXPECT_EQ(std::string("\x00\xb5", 2), sv::ToUpper1251(std::string("\x00\xb5", 2)));  // µ stays
}

TEST(Case1251, PlainRussianUpperFoldsYoAndLeavesOtherCyrillic) {
  EXPECT_EQ(0xC5, sv::UpperRussianPlain(0xB8));  // ё -> Е
  EXPECT_EQ(0xC5, sv::UpperRussianPlain(0xA8));  // Ё -> Е
  EXPECT_EQ(0xDF, sv::UpperRussianPlain(0xFF));  // я -> Я
  EXPECT_EQ('Z', sv::UpperRussianPlain('z'));
  EXPECT_EQ(0xBF, sv::UpperRussianPlain(0xBF));  // ї stays
  EXPECT_EQ(0x90, sv::UpperRussianPlain(0x90));  // ђ stays
}

}  // namespace

namespace {

// The one-pass reading of every section gives what the lookups give.
TEST(IniSections, OnePassAgreesWithLookups) {
  sv::IniText ini("[A]\r\nk = \"quoted\"\r\nk=second\r\n no equals\r\n[b]\r\nX=1\r\n[a]\r\nk=later\r\n");
  std::vector<sv::IniSection> sections = ini.Sections();
  ASSERT_EQ(3u, sections.size());
  EXPECT_EQ("A", sections[0].name);
  std::string value;
  ASSERT_TRUE(sections[0].Find("K", &value));
  EXPECT_EQ("quoted", value);  // first entry, quotes gone, as Find
  ASSERT_TRUE(ini.Find("a", "k", &value));
  EXPECT_EQ("quoted", value);
  EXPECT_FALSE(sections[1].Find("k", &value));
  EXPECT_EQ(2u, sections[0].entries.size());
}

}  // namespace
