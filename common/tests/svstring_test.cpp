// The SvStr bridges: ownership of what they take and make.
#include <gtest/gtest.h>

#include <string>

#include "svstring.h"

namespace {

void SVAPI PutHello(SvStr* out) { sv::PutStr(out, "hello"); }
void SVAPI PutNothing(SvStr* out) { sv::StrPut(out, nullptr); }

TEST(SvStringBridges, TakeOutReceivesAndReleases) {
  EXPECT_EQ("hello", sv::TakeOut(PutHello));
  EXPECT_EQ("", sv::TakeOut(PutNothing));
  EXPECT_EQ(std::string("a\0b", 3), sv::TakeOut([](SvStr* out) { sv::PutStr(out, std::string("a\0b", 3)); }));
}

TEST(SvStringBridges, CopyKeepsTakeReleases) {
  SvStr s = sv::NewStr("abc");
  sv::AddRef(s);  // two references: Take drops one, the test the other
  EXPECT_EQ("abc", sv::Copy(s));
  EXPECT_EQ("abc", sv::Take(s));
  EXPECT_EQ(1, sv::HeaderOf(s)->refCount);
  sv::Release(s);
  EXPECT_EQ("", sv::Take(nullptr));
  EXPECT_EQ("", sv::Copy(nullptr));
  EXPECT_EQ("", std::string(sv::Text(nullptr)));
  EXPECT_EQ(nullptr, sv::NewStr(""));  // the empty string is the null pointer
}

TEST(SvStringBridges, OwnedStrLivesForItsScopeAndMoves) {
  sv::OwnedStr a(std::string("x\0y", 3));
  EXPECT_EQ(3, sv::Length(a.Get()));
  sv::OwnedStr b(std::move(a));
  EXPECT_EQ(nullptr, a.Get());
  EXPECT_EQ(std::string("x\0y", 3), sv::Copy(b));
  PutHello(b.Out());
  EXPECT_EQ("hello", sv::Copy(b));
}

}  // namespace
