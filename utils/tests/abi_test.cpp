// The shared string and array layout, and strings crossing the library edge.
#include <gtest/gtest.h>

#include "SolvikaUtils.h"
#include "test_support.h"

TEST(Abi, StringLayoutAndCounts) {
  EXPECT_EQ(nullptr, sv::StrNew("abc", 0)) << "the empty string is null";
  EXPECT_EQ(0, sv::Length(nullptr));
  sv::Release(nullptr);  // harmless

  const char bytes[] = {'a', 0, 'b', 0, 0};
  SvStr s = sv::StrNew(bytes, 4);
  ASSERT_NE(nullptr, s);
  EXPECT_EQ(4, sv::Length(s));
  EXPECT_EQ(0, memcmp(s, bytes, 4)) << "embedded zeros survive";
  EXPECT_EQ(0, s[4]) << "always zero-terminated";
  EXPECT_EQ(1, sv::HeaderOf(s)->refCount);

  sv::AddRef(s);
  EXPECT_EQ(2, sv::HeaderOf(s)->refCount);
  SvStr copy = s;
  sv::StrUnique(&copy);
  EXPECT_NE(s, copy) << "a shared string is copied before a change";
  EXPECT_EQ(1, sv::HeaderOf(s)->refCount);
  EXPECT_EQ(0, memcmp(copy, bytes, 4));
  sv::Release(copy);
  sv::Release(s);
}

TEST(Abi, ConstantsAreNeverFreed) {
  struct {
    SvHeader h{-1, 3};
    char text[4] = "abc";
  } constant;
  sv::AddRef(constant.text);
  sv::Release(constant.text);
  sv::Release(constant.text);
  EXPECT_EQ(-1, constant.h.refCount);
}

TEST(Abi, ArraysCarryTheirCount) {
  EXPECT_EQ(nullptr, sv::ArrayNew(0));
  SvArray a = sv::ArrayNew(5);
  ASSERT_NE(nullptr, a);
  EXPECT_EQ(5, sv::ArrayLen(a));
  for (int i = 0; i < 5; ++i) EXPECT_EQ(0, a[i]);
  sv::Release(a);
}

TEST(Abi, StringsCrossTheLibraryEdgeBothWays) {
  // The library releases the old value of an out variable made here...
  SvStr out = sv::StrFromC("made by the caller");
  GetCurrDir(&out);
  ASSERT_NE(nullptr, out);
  EXPECT_EQ(1, sv::HeaderOf(out)->refCount);
  EXPECT_EQ('\\', out[sv::Length(out) - 1]);
  // ...and the caller releases what the library made.
  sv::Release(out);

  // A text argument may be a plain zero-terminated text or a string.
  SvStr section = sv::StrFromC("No such section");
  EXPECT_EQ(9, GetIniInt(section, "key", 9));
  EXPECT_EQ(9, GetIniInt("No such section", "key", 9));
  sv::Release(section);
}
