// Russian text helpers through the DLL: transliteration, upper-casing,
// comparison, UTF-16 conversion, and the e-mail form check.
#include <gtest/gtest.h>

#include <string>

#include "SolvikaUtils.h"
#include "test_support.h"
#include "wide.h"

namespace {

std::string Translate(const std::string& s) { return sv::TakeOut([&](SvStr* o) { TranslateFilename(o, s.c_str()); }); }
std::string Up(const std::string& s) { return sv::TakeOut([&](SvStr* o) { SVUpCase(o, s.c_str()); }); }

}  // namespace

TEST(StringsRussian, TranslateFilename) {
  EXPECT_EQ("otch_t_2008.doc", Translate(sv::Ru(u8"Отчёт 2008.doc")));
  EXPECT_EQ("_privet", Translate(sv::Ru(u8".Привет")));
  EXPECT_EQ("abvgdezhziyklmnoprstufhcchshsch_y_eyuya",
            Translate(sv::Ru(u8"абвгдежзийклмнопрстуфхцчшщъыьэюя")));
  EXPECT_EQ("abvgdezhziyklmnoprstufhcchshsch_y_eyuya",
            Translate(sv::Ru(u8"АБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ")));
  EXPECT_EQ("eeiiii", Translate(sv::Ru(u8"ЄєІіЇї")));
  EXPECT_EQ("(Az_09)-._", Translate("(Az_09)-.,"));
  EXPECT_EQ("______", Translate(sv::Ru(u8"Ёё \\/\x7f")));
  EXPECT_EQ("", Translate(""));
}

TEST(StringsRussian, UpCaseFoldsYo) {
  EXPECT_EQ(sv::Ru(u8"ЕЛКА"), Up(sv::Ru(u8"ёлка")));
  EXPECT_EQ(sv::Ru(u8"ЕЖ"), Up(sv::Ru(u8"Ёж")));
  EXPECT_EQ(sv::Ru(u8"ЙЦУКЕНГШЩЗХЪФЫВАПРОЛДЖЭЯЧСМИТЬБЮЕЕ"), Up(sv::Ru(u8"йцукенгшщзхъфывапролджэячсмитьбюёЁ")));
  EXPECT_EQ("ABC XYZ 09!", Up("abc xyz 09!"));
  // Letters of other Cyrillic alphabets are left as they are.
  EXPECT_EQ(sv::Ru(u8"єії"), Up(sv::Ru(u8"єії")));
}

TEST(StringsRussian, CompareIgnoresCase) {
  EXPECT_EQ(0, RusCompareStr(sv::Ru(u8"Привет").c_str(), sv::Ru(u8"пРИВЕТ").c_str()));
  EXPECT_EQ(-1, RusCompareStr(sv::Ru(u8"арбуз").c_str(), sv::Ru(u8"Банан").c_str()));
  EXPECT_EQ(1, RusCompareStr(sv::Ru(u8"Яблоко").c_str(), sv::Ru(u8"банан").c_str()));
  EXPECT_EQ(0, RusCompareStr(sv::Ru(u8"ёлка").c_str(), sv::Ru(u8"ЁЛКА").c_str()));
  EXPECT_EQ(0, RusCompareStr("", nullptr));
  EXPECT_EQ(-1, RusCompareStr("", "a"));
}

TEST(StringsRussian, ToUnicodeReplacesTheOldValue) {
  BSTR w = SysAllocString(L"old");
  RusToUnicode(&w, sv::Ru(u8"Ёж и ёлка").c_str());
  ASSERT_NE(nullptr, w);
  EXPECT_EQ(std::wstring(L"\x0401\x0436 \x0438 \x0451\x043B\x043A\x0430"), std::wstring(w, SysStringLen(w)));
  // Long texts convert whole, byte for character.
  std::string longText;
  for (int i = 0; i < 5001; ++i) longText += (char)(0xC0 + i % 64);
  RusToUnicode(&w, longText.c_str());
  ASSERT_EQ(5001u, SysStringLen(w));
  EXPECT_EQ(sv::Wide(longText), std::wstring(w, 5001));
  RusToUnicode(&w, "");
  EXPECT_EQ(0u, SysStringLen(w));
  SysFreeString(w);
}

TEST(StringsRussian, EmailForm) {
  EXPECT_TRUE(isValidEmail("a@b.cd"));
  EXPECT_TRUE(isValidEmail("first.last-2_x@mail.example.org"));
  EXPECT_FALSE(isValidEmail("@b.cd"));
  EXPECT_FALSE(isValidEmail("a@b.c"));      // domain of 3 characters
  EXPECT_FALSE(isValidEmail("a@.bcd"));     // domain begins with its dot
  EXPECT_FALSE(isValidEmail("a@bcde"));     // no dot
  EXPECT_FALSE(isValidEmail("a@b.cd@e"));   // a second "@"
  EXPECT_FALSE(isValidEmail("a b@c.de"));
  EXPECT_FALSE(isValidEmail("a+b@c.de"));
  EXPECT_FALSE(isValidEmail(sv::Ru(u8"я@c.de").c_str()));
  EXPECT_FALSE(isValidEmail("abc"));
  EXPECT_FALSE(isValidEmail(""));
  EXPECT_FALSE(isValidEmail(nullptr));
}
