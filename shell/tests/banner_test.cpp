// The banner grid's and the search box's plain rules.
#include <gtest/gtest.h>

#include "banner_logic.h"
#include "search_logic.h"
#include "wide.h"

namespace {

using namespace shell;

TEST(BannerGrid, SquaresRunTwelveToARowFromTheTopLeft) {
  EXPECT_EQ(1, BannerSquareAt(0, 0));
  EXPECT_EQ(1, BannerSquareAt(9, 9));
  EXPECT_EQ(12, BannerSquareAt(119, 9));
  EXPECT_EQ(13, BannerSquareAt(0, 10));
  EXPECT_EQ(1200, BannerSquareAt(119, 999));
}

TEST(BannerGrid, DescriptionKeysSetHintsLinksAndIgnoreTheRest) {
  BannerDescription d = ParseBannerDescription(
      "version\t7\r\nenabled\t1\r\ndefault\tDef\r\nx5\thttp://a/b\r\n5\ta\tb\r\n1201\tno\r\nx1201\tno\r\n"
      "0\tno\r\n\tno key\r\nother\tno\r\n1200\tlast\n");
  EXPECT_EQ(7, d.version);
  EXPECT_TRUE(d.enabled);
  EXPECT_EQ("Def", d.hints[0]);
  EXPECT_EQ("http://a/b", d.links[5]);
  EXPECT_EQ("a\r\nb", d.hints[5]);
  EXPECT_EQ("last", d.hints[1200]);
  EXPECT_EQ(1201u, d.hints.size());
  EXPECT_EQ(1201u, d.links.size());
  for (int i = 1; i < 1200; ++i)
    if (i != 5) {
      EXPECT_EQ("", d.hints[i]) << i;
    }

  EXPECT_FALSE(ParseBannerDescription("enabled\t0").enabled);
  EXPECT_EQ(0, ParseBannerDescription("version\tnew").version);
}

TEST(BannerGrid, HintFallsBackToTheDefaultWithTheSquaresPlace) {
  BannerDescription d = ParseBannerDescription("default\tSolvika\r\n14\tOwn");
  EXPECT_EQ("Own", BannerHintAt(d, 15, 12));
  EXPECT_EQ(sv::Ru(u8"Solvika\r\nКвадрат: (12:1)"), BannerHintAt(d, 119, 0));
}

TEST(BannerGrid, NamesAndClickAddresses) {
  EXPECT_EQ("Solvika", BannerNameFor(""));
  EXPECT_EQ("Solvika", BannerNameFor("*"));
  EXPECT_EQ("DemoA", BannerNameFor("*DemoA"));
  EXPECT_EQ("FetchKeeper", BannerNameFor("FetchKeeper"));

  BannerDescription d = ParseBannerDescription("version\t3\r\nx2\thttp://own/");
  BannerClick click{"http://h/", sv::Ru(u8"Мой плагин"), 3, "42", "ID7"};
  EXPECT_EQ("http://own/", BannerClickAddress(d, 2, click));
  EXPECT_EQ("http://h/client/click.php?n=13&v=3&p=%CC%EE%E9+%EF%EB%E0%E3%E8%ED&u=42&s=ID7",
            BannerClickAddress(d, 13, click));
  EXPECT_EQ("Referer: http://r/?client\r\n", BannerClickHeaders("http://r/"));
}

TEST(SearchBox, TrimsTheTextAndBuildsTheQuery) {
  EXPECT_EQ("a b", TrimSearchText("  a b  "));
  EXPECT_EQ("", TrimSearchText(" \t "));
  EXPECT_EQ("http://go/?q=a+b%2Dc", SearchAddress("http://go/", "a b-c"));
  EXPECT_EQ("Referer: http://ref/\r\n", SearchHeaders("http://ref/"));
}

TEST(SearchBox, AnUnfocusedBoxWithTextFoldsAfterSixtyTicks) {
  EXPECT_EQ(SearchTick::kKeepOpen, NextSearchTick(true, 59, false));
  EXPECT_EQ(SearchTick::kFold, NextSearchTick(true, 60, false));
  EXPECT_EQ(SearchTick::kKeepOpen, NextSearchTick(true, 600, true));
  EXPECT_EQ(SearchTick::kKeepOpen, NextSearchTick(false, 0, true));
  EXPECT_EQ(SearchTick::kFold, NextSearchTick(false, 0, false));
}

}  // namespace
