// Pattern and character search through the DLL: buffer edges, start
// positions, case folding, and a randomised comparison with std::string_view.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "SolvikaUtils.h"
#include "test_support.h"
#include "wide.h"

namespace {

int32_t Pos(const std::string& s, const std::string& p, int32_t start) {
  return FastPos(s.data(), p.data(), (int32_t)s.size(), (int32_t)p.size(), start);
}
int32_t Back(const std::string& s, const std::string& p, int32_t start) {
  return FastPosBack(s.data(), p.data(), (int32_t)s.size(), (int32_t)p.size(), start);
}

std::string Upper(std::string s) {
  if (!s.empty()) CharUpperBuffA(&s[0], (DWORD)s.size());
  return s;
}

}  // namespace

TEST(StringsSearch, ForwardAtEdges) {
  EXPECT_EQ(2, Pos("abcb", "b", 1));
  EXPECT_EQ(4, Pos("abcb", "b", 3));
  EXPECT_EQ(0, Pos("abcb", "b", 5));
  EXPECT_EQ(0, Pos("abcb", "b", 1000000));
  EXPECT_EQ(1, Pos("abcdefgh", "abc", 1));        // at the very start
  EXPECT_EQ(6, Pos("abcdefgh", "fgh", 1));        // at the very end
  EXPECT_EQ(6, Pos("abcdefgh", "fgh", 6));        // start on the match itself
  EXPECT_EQ(0, Pos("abcdefgh", "fgh", 7));        // window no longer fits
  EXPECT_EQ(1, Pos("abcdefgh", "abcdefgh", 1));   // pattern as long as the source
  EXPECT_EQ(0, Pos("abcdefg", "abcdefgh", 1));    // pattern longer than the source
  EXPECT_EQ(0, Pos("abc", "", 1));
  EXPECT_EQ(0, Pos("", "a", 1));
  EXPECT_EQ(1, Pos("abc", "a", 0));  // a start below 1 counts as 1
  EXPECT_EQ(1, Pos("abc", "a", -7));

  // Lengths come from the caller: a zero byte is an ordinary byte, and bytes
  // past the given length are not looked at.
  std::string z("a\0b\0c", 5);
  EXPECT_EQ(3, FastPos(z.data(), "b\0c", 5, 3, 1));
  EXPECT_EQ(0, FastPos("xxabc", "abc", 4, 3, 1));
}

TEST(StringsSearch, BackwardAtEdges) {
  EXPECT_EQ(4, Back("abcb", "b", 0));
  EXPECT_EQ(2, Back("abcb", "b", 3));
  EXPECT_EQ(4, Back("abcb", "b", 99));  // past the end: from the end
  EXPECT_EQ(0, Back("abcb", "b", 1));
  EXPECT_EQ(1, Back("abcb", "a", 1));
  EXPECT_EQ(2, Back("abcb", "bcb", 0));
  EXPECT_EQ(1, Back("abcb", "abcb", 0));
  EXPECT_EQ(0, Back("abc", "abcd", 0));
  EXPECT_EQ(0, Back("abc", "", 0));
  EXPECT_EQ(5, Back("aaaaaa", "aa", 0));
  EXPECT_EQ(3, Back("aaaaaa", "aa", 3));
}

TEST(StringsSearch, NoCaseThroughTheUpperCaseMap) {
  std::string hello = sv::Ru(u8"ПРИВЕТ"), text = sv::Ru(u8"ну, привет!");
  EXPECT_EQ(0, FastPos(text.data(), hello.data(), (int32_t)text.size(), (int32_t)hello.size(), 1));
  EXPECT_EQ(5, FastPosNoCase(text.data(), hello.data(), (int32_t)text.size(), (int32_t)hello.size(), 1));
  EXPECT_EQ(5, FastPosBackNoCase(text.data(), hello.data(), (int32_t)text.size(), (int32_t)hello.size(), 0));
  EXPECT_EQ(0, FastPosBackNoCase(text.data(), hello.data(), (int32_t)text.size(), (int32_t)hello.size(), 4));
  EXPECT_EQ(2, FastPosNoCase("xAbC", "abc", 4, 3, 1));
}

TEST(StringsSearch, Characters) {
  EXPECT_EQ(2, FastCharPos("abcb", 'b', 1));
  EXPECT_EQ(4, FastCharPos("abcb", 'b', 3));
  EXPECT_EQ(0, FastCharPos("abcb", 'b', 5));
  EXPECT_EQ(0, FastCharPos("abcb", 'b', 500));
  EXPECT_EQ(0, FastCharPos(nullptr, 'b', 1));
  EXPECT_EQ(0, FastCharPos("abc", '\0', 1));
  EXPECT_EQ(3, FastCharPosNoCase("abCd", 'c', 0));  // below 1 counts as 1
  std::string yo = sv::Ru(u8"ёлка"), YO = sv::Ru(u8"Ё");
  EXPECT_EQ(1, FastCharPosNoCase(yo.c_str(), YO[0], 1));
  EXPECT_EQ(0, FastCharPos(yo.c_str(), YO[0], 1));
}

// Every start position of many small random texts agrees with the standard
// library, forwards and backwards, with and without case folding. A small
// alphabet makes partial matches and overlaps frequent. The last rounds take
// longer texts and patterns, so that the forward scan's unrolled jumps run
// and hand over to the single jumps near the text's end.
TEST(StringsSearch, AgreesWithStandardSearch) {
  std::mt19937 rng(12345);
  const char alphabet[] = "abAB\xE0\xC0";
  for (int round = 0; round < 3500; ++round) {
    const bool longer = round >= 3000;
    std::string s(rng() % (longer ? 160 : 40), ' '), p(1 + rng() % (longer ? 12 : 6), ' ');
    for (char& c : s) c = alphabet[rng() % 6];
    for (char& c : p) c = alphabet[rng() % 6];
    const std::string us = Upper(s), up = Upper(p);
    const int32_t n = (int32_t)s.size(), m = (int32_t)p.size();
    for (int32_t start = 1; start <= n + 2; ++start) {
      size_t f = std::string_view(s).find(p, (size_t)start - 1);
      ASSERT_EQ(f == std::string::npos ? 0 : (int32_t)f + 1, Pos(s, p, start)) << s << " / " << p;
      size_t fu = std::string_view(us).find(up, (size_t)start - 1);
      ASSERT_EQ(fu == std::string::npos ? 0 : (int32_t)fu + 1,
                FastPosNoCase(s.data(), p.data(), n, m, start));
    }
    for (int32_t start = 0; start <= n + 1; ++start) {
      size_t from = start == 0 ? std::string::npos : (size_t)start - 1;
      size_t b = std::string_view(s).rfind(p, from);
      ASSERT_EQ(b == std::string::npos ? 0 : (int32_t)b + 1, Back(s, p, start)) << s << " / " << p;
      size_t bu = std::string_view(us).rfind(up, from);
      ASSERT_EQ(bu == std::string::npos ? 0 : (int32_t)bu + 1,
                FastPosBackNoCase(s.data(), p.data(), n, m, start));
    }
  }
}
