// Field splitting through the DLL: every separator pattern read in the loop
// that callers use.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SolvikaUtils.h"
#include "test_support.h"

namespace {

typedef SvBool(SVAPI* Splitter)(SvStr*, SvStr*);

// Reads all fields of `text` with _ParceChar and `sep`, as callers do.
std::vector<std::string> Fields(const std::string& text, char sep) {
  SvStr rest = sv::StrNew(text.data(), (int32_t)text.size()), field = nullptr;
  std::vector<std::string> out;
  while (_ParceChar(&rest, &field, sep)) {
    out.emplace_back(sv::Copy(field));
    if (out.size() > 100) break;
  }
  EXPECT_EQ(nullptr, rest);
  EXPECT_EQ(nullptr, field);
  sv::Release(rest);
  sv::Release(field);
  return out;
}

std::vector<std::string> Split(const std::string& text, Splitter fn) {
  SvStr rest = sv::StrNew(text.data(), (int32_t)text.size()), field = nullptr;
  std::vector<std::string> out;
  while (fn(&rest, &field)) out.emplace_back(sv::Copy(field));
  sv::Release(rest);
  sv::Release(field);
  return out;
}

using V = std::vector<std::string>;

}  // namespace

TEST(StringsFields, EverySeparatorPattern) {
  EXPECT_EQ((V{"a", "b"}), Fields("a\tb", '\t'));
  EXPECT_EQ((V{"a", "", "b"}), Fields("a\t\tb", '\t'));
  EXPECT_EQ((V{"a"}), Fields("a\t", '\t'));              // a trailing separator adds nothing
  EXPECT_EQ((V{"a"}), Fields("a\t\t", '\t'));             // nor do two: the last empty field ends the loop
  EXPECT_EQ((V{"", "a"}), Fields("\ta", '\t'));          // a leading one gives an empty field
  EXPECT_EQ((V{}), Fields("\t", '\t'));
  EXPECT_EQ((V{""}), Fields("\t\t", '\t'));
  EXPECT_EQ((V{}), Fields("", '\t'));
  EXPECT_EQ((V{"abc"}), Fields("abc", '\t'));
  EXPECT_EQ((V{"a b", "c"}), Fields("a b;c", ';'));
  // Zero bytes inside the rest text are ordinary characters.
  EXPECT_EQ((V{std::string("a\0b", 3), "c"}), Fields(std::string("a\0b,c", 5), ','));
}

TEST(StringsFields, OneCallAtATime) {
  SvStr rest = sv::StrFromC("x\ty"), field = sv::StrFromC("old");
  ASSERT_TRUE(_ParceTab(&rest, &field));
  EXPECT_EQ("x", std::string(field));
  EXPECT_EQ("y", std::string(rest));
  ASSERT_TRUE(_ParceTab(&rest, &field));
  EXPECT_EQ("y", std::string(field));
  EXPECT_EQ(nullptr, rest);
  EXPECT_FALSE(_ParceTab(&rest, &field));
  EXPECT_EQ(nullptr, field);
  // An empty text gives false and an empty field at once.
  SvStr none = nullptr, f2 = sv::StrFromC("stale");
  EXPECT_FALSE(_ParceTab(&none, &f2));
  EXPECT_EQ(nullptr, f2);
}

TEST(StringsFields, TabsAndHosts) {
  EXPECT_EQ((V{"1", "name", "", "4.2"}), Split("1\tname\t\t4.2\t", _ParceTab));
  EXPECT_EQ((V{"a/b"}), Split("a/b", _ParceTab));
  EXPECT_EQ((V{"one.example", "two.example:8080", "three"}),
            Split("one.example/two.example:8080/three/", _ParceHosts));
  EXPECT_EQ((V{"a\tb"}), Split("a\tb", _ParceHosts));
}
