// Replace, tag replace and substring exports through the DLL.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SolvikaUtils.h"
#include "test_support.h"
#include "wide.h"

namespace {

std::string Replace(const char* s, const char* p, const char* r, bool cs = true) {
  return sv::TakeOut([&](SvStr* o) { FastReplace(s, p, r, cs, o); });
}
std::string AnsiReplace(const char* s, const char* o, const char* n, int flags) {
  return sv::TakeOut([&](SvStr* out) { FastAnsiReplace(s, o, n, flags, out); });
}

struct TagLog {
  std::vector<std::string> inner;
};

// Wraps the inner text in braces, replacing the string it is given.
void SVAPI Brace(SvStr* text, int32_t user) {
  TagLog* log = (TagLog*)(intptr_t)user;
  std::string in = sv::Copy(*text);
  log->inner.push_back(in);
  sv::Release(*text);
  *text = sv::StrFromC(("{" + in + "}").c_str());
}

void SVAPI Erase(SvStr* text, int32_t) {
  sv::Release(*text);
  *text = nullptr;
}

std::string TagReplace(const char* s, const char* a, const char* b, TagLog* log, SvTagProc proc = Brace) {
  return sv::TakeOut([&](SvStr* o) { FastTagReplace(s, a, b, proc, (int32_t)(intptr_t)log, o); });
}

}  // namespace

TEST(StringsReplace, FastReplace) {
  EXPECT_EQ("a\\b\\c", Replace("a/b/c", "/", "\\"));
  EXPECT_EQ("", Replace("", "/", "\\"));
  EXPECT_EQ("xa", Replace("aaa", "aa", "x"));  // no overlap: one replacement, then the rest
  EXPECT_EQ("bc", Replace("aabaac", "aa", ""));
  EXPECT_EQ("<><><>", Replace("abab", "ab", "<><>").substr(0, 6));
  EXPECT_EQ("-X-X-", Replace("-ab-AB-", "aB", "X", false));
  EXPECT_EQ("-ab-AB-", Replace("-ab-AB-", "aB", "X", true));
  // Nothing to look for leaves the text alone rather than losing it.
  EXPECT_EQ("abc", Replace("abc", "", "x"));
  // Many growths of the result.
  std::string big(5000, '.'), want;
  for (int i = 0; i < 5000; ++i) want += "[dot]";
  EXPECT_EQ(want, Replace(big.c_str(), ".", "[dot]"));
  // The out variable may hold the source itself.
  SvStr s = sv::StrFromC("a-b-c");
  FastReplace(s, "-", "==", 1, &s);
  EXPECT_EQ("a==b==c", sv::Take(s));
}

TEST(StringsReplace, FastAnsiReplace) {
  EXPECT_EQ("x-a-a", AnsiReplace("a-a-a", "a", "x", 0));
  EXPECT_EQ("x-x-x", AnsiReplace("a-a-a", "a", "x", 1));
  EXPECT_EQ("a-a-a", AnsiReplace("a-a-a", "", "x", 1));
  EXPECT_EQ("a", AnsiReplace("a", "ab", "x", 1));
  EXPECT_EQ("--", AnsiReplace("a-A-a", "A", "", 3));
  EXPECT_EQ("a--a", AnsiReplace("a-A-a", "A", "", 1));
  std::string text = sv::Ru(u8"Ёлка и ёлка"), old = sv::Ru(u8"ЁЛКА");
  EXPECT_EQ("x " + sv::Ru(u8"и") + " x", AnsiReplace(text.c_str(), old.c_str(), "x", 3));
  // Growth far beyond the first reserve.
  std::string many(1000, 'a');
  EXPECT_EQ(std::string(100000, 'b'), AnsiReplace(many.c_str(), "a", std::string(100, 'b').c_str(), 1));
}

TEST(StringsReplace, FastTagReplace) {
  TagLog log;
  EXPECT_EQ("x{a}y[b", TagReplace("x[a]y[b", "[", "]", &log));
  EXPECT_EQ(std::vector<std::string>{"a"}, log.inner);

  // Empty spans, spans holding a start tag, text after the last span.
  log.inner.clear();
  EXPECT_EQ("{}{b[c}]>", TagReplace("[][b[c]]>", "[", "]", &log));
  EXPECT_EQ((std::vector<std::string>{"", "b[c"}), log.inner);
  // Tags of several characters; a callback that empties the span.
  EXPECT_EQ("ab", TagReplace("a<%x%><%%>b", "<%", "%>", &log, Erase));
  // Nothing to do: the source comes back.
  EXPECT_EQ("a[b]", TagReplace("a[b]", "", "]", &log));
  EXPECT_EQ("a[b", TagReplace("a[b", "[", "]", &log));
  EXPECT_EQ("a[b]", sv::TakeOut([](SvStr* o) { FastTagReplace("a[b]", "[", "]", nullptr, 0, o); }));
}

TEST(StringsReplace, Substrings) {
  auto copy = [](const char* s, int a, int n) { return sv::TakeOut([&](SvStr* o) { FastCopyStr(s, a, n, o); }); };
  auto left = [](const char* s, int n) { return sv::TakeOut([&](SvStr* o) { FastLeftStr(s, n, o); }); };
  auto right = [](const char* s, int n) { return sv::TakeOut([&](SvStr* o) { FastRightStr(s, n, o); }); };
  EXPECT_EQ("bc", copy("abcd", 2, 2));
  EXPECT_EQ("cd", copy("abcd", 3, 100));
  EXPECT_EQ("d", copy("abcd", 4, 0x7FFFFFFF));
  EXPECT_EQ("", copy("abcd", 5, 1));
  EXPECT_EQ("", copy("abcd", 0, 2));
  EXPECT_EQ("", copy("abcd", 1, 0));
  EXPECT_EQ("", copy("", 1, 1));
  EXPECT_EQ("ab", left("abcd", 2));
  EXPECT_EQ("abcd", left("abcd", 9));
  EXPECT_EQ("", left("abcd", -1));
  EXPECT_EQ("cd", right("abcd", 2));
  EXPECT_EQ("abcd", right("abcd", 4));
  EXPECT_EQ("", right("abcd", 0));
  EXPECT_EQ("", right(nullptr, 3));
}
