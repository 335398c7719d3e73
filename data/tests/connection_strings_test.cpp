// The connection texts of the ADO types, the provider fall-back and the
// reading of the caller's parameter record.
#include <gtest/gtest.h>

#include <vector>

#include "connection_strings.h"
#include "russian_text.h"
#include "SolvikaData.h"

using namespace data;

TEST(DataConnectionText, ModeForEveryAccessAndShare) {
  const char* expected[3][5] = {
      {"", "Share Deny None", "Share Deny Read", "Share Deny Write", "Share Deny Read|Share Deny Write"},
      {"Read", "Read|Share Deny None", "Read|Share Deny Read", "Read|Share Deny Write",
       "Read|Share Deny Read|Share Deny Write"},
      {"ReadWrite", "ReadWrite|Share Deny None", "ReadWrite|Share Deny Read", "ReadWrite|Share Deny Write",
       "ReadWrite|Share Deny Read|Share Deny Write"}};
  for (uint32_t a = 0; a < 3; ++a)
    for (uint32_t s = 0; s < 5; ++s) EXPECT_EQ(expected[a][s], ModeValue(a, s)) << a << "/" << s;
  // Values out of range count as "not given".
  EXPECT_EQ("Share Deny Read", ModeValue(3, 2));
  EXPECT_EQ("Read", ModeValue(1, 5));
  EXPECT_EQ("", ModeValue(0xFFFFFFFF, 0xFFFFFFFF));
}

TEST(DataConnectionText, JetTextByType) {
  Params p;
  p.file = "C:\\db\\base.mdb";
  EXPECT_EQ(
      "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=C:\\db\\base.mdb;"
      "Extended Properties=;Jet OLEDB:Engine Type=0;Persist Security Info=True;",
      JetConnectionString(p, 0, false));
  EXPECT_EQ("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=C:\\db\\base.mdb;Persist Security Info=True;",
            JetConnectionString(p, 1, false));
  EXPECT_NE(std::string::npos, JetConnectionString(p, 2, false).find(";Extended Properties=;Jet OLEDB:Engine Type=4;"));
  EXPECT_NE(std::string::npos, JetConnectionString(p, 3, false).find(";Extended Properties=;Jet OLEDB:Engine Type=5;"));
  EXPECT_EQ(JetConnectionString(p, 0, false), JetConnectionString(p, 4, false));
  EXPECT_EQ(JetConnectionString(p, 0, false), JetConnectionString(p, 5, false));

  p.user = "admin";
  p.password = "pw";
  p.dbPassword = "secret";
  p.access = 2;
  p.share = 1;
  EXPECT_EQ(
      "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=C:\\db\\base.mdb;User ID=admin;Password=pw;"
      "Mode=ReadWrite|Share Deny None;Extended Properties=;Jet OLEDB:Engine Type=4;"
      "Jet OLEDB:Database Password=secret;Persist Security Info=True;",
      JetConnectionString(p, 2, false));
  // Compacting leaves out the mode and the security setting.
  EXPECT_EQ(
      "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=C:\\db\\base.mdb;User ID=admin;Password=pw;"
      "Extended Properties=;Jet OLEDB:Engine Type=4;Jet OLEDB:Database Password=secret;",
      JetConnectionString(p, 2, true));
}

TEST(DataConnectionText, OdbcText) {
  Params p;
  p.file = "base.mdb";
  EXPECT_EQ("Driver={Microsoft Access Driver (*.mdb)};DBQ=base.mdb;Persist Security Info=True;",
            OdbcConnectionString(p));
  p.user = "u";
  p.password = "not used";
  p.dbPassword = "db";
  p.access = 1;
  p.share = 3;
  EXPECT_EQ(
      "Driver={Microsoft Access Driver (*.mdb)};DBQ=base.mdb;UID=u;PWD=db;Mode=Read|Share Deny Write;"
      "Persist Security Info=True;",
      OdbcConnectionString(p));
}

TEST(DataConnectionText, FallBackOverProvidersCollectsEveryFailure) {
  Params p;
  p.file = "x.mdb";
  std::vector<std::string> tried;
  bool registered = false;
  std::string err = ConnectWithFallback(
      p, 1,
      [&](const std::string& text) {
        tried.push_back(text);
        return "failure " + std::to_string(tried.size());
      },
      [&] {
        registered = true;
        EXPECT_EQ(3u, tried.size());  // the driver is registered right before the ODBC attempt
      });
  EXPECT_TRUE(registered);
  ASSERT_EQ(4u, tried.size());
  EXPECT_EQ(0u, tried[0].find("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=x.mdb;"));
  EXPECT_EQ(0u, tried[1].find("Provider=Microsoft.Jet.OLEDB.3.51;Data Source=x.mdb;"));
  EXPECT_EQ(0u, tried[2].find("Provider=Microsoft.Jet.OLEDB.3.5;Data Source=x.mdb;"));
  EXPECT_EQ(0u, tried[3].find("Driver={Microsoft Access Driver (*.mdb)};DBQ=x.mdb;"));
  EXPECT_EQ("Jet 4.0: failure 1\rJet 3.51: failure 2\rJet 3.5: failure 3\rMSDASQL: failure 4", err);

  // The first attempt that opens ends the search.
  tried.clear();
  err = ConnectWithFallback(
      p, 0,
      [&](const std::string& text) {
        tried.push_back(text);
        return tried.size() == 2 ? std::string() : std::string("no");
      },
      [] { FAIL() << "no ODBC attempt expected"; });
  EXPECT_EQ("", err);
  EXPECT_EQ(2u, tried.size());
}

TEST(DataConnectionText, ShortRecordReadsOnlyWhatItsSizeCovers) {
  TSVDataConnectParams raw;
  memset(&raw, 0, sizeof raw);
  raw.file = "f.db";
  raw.user = (const char*)1;  // junk beyond the given size must not be read
  raw.password = (const char*)1;
  raw.dbPassword = (const char*)1;
  raw.access = 2;
  raw.share = 4;
  raw.size = 8;
  Params p = ReadParams(&raw);
  EXPECT_EQ("f.db", p.file);
  EXPECT_EQ("", p.user);
  EXPECT_EQ("", p.password);
  EXPECT_EQ("", p.dbPassword);
  EXPECT_EQ(0u, p.access);
  EXPECT_EQ(0u, p.share);

  raw.user = "u";
  raw.password = nullptr;
  raw.dbPassword = "d";
  raw.size = 24;  // up to and including access
  p = ReadParams(&raw);
  EXPECT_EQ("u", p.user);
  EXPECT_EQ("d", p.dbPassword);
  EXPECT_EQ(2u, p.access);
  EXPECT_EQ(0u, p.share);
  raw.size = 1000;  // a larger record is read only as far as the known fields
  EXPECT_EQ(4u, ReadParams(&raw).share);
  raw.size = -5;
  EXPECT_EQ("", ReadParams(&raw).file);
  EXPECT_EQ("", ReadParams(nullptr).file);
}

TEST(DataLikeMatch, EscapeLeftWhenTheTextIsUsedUp) {
  unsigned char fold[256];
  for (int i = 0; i < 256; ++i) fold[i] = (unsigned char)i;
  auto like = [&](const std::string& pattern, const std::string& text, int escape) {
    return LikeMatch((const unsigned char*)pattern.data(), pattern.size(), (const unsigned char*)text.data(),
                     text.size(), fold, escape);
  };
  // With "%" as the escape, "%%" is one literal "%", not two wildcards.
  EXPECT_FALSE(like("%%", "", '%'));
  EXPECT_FALSE(like("a%%", "a", '%'));
  EXPECT_TRUE(like("a%%", "a%", '%'));
  EXPECT_FALSE(like("%%%%", "", '%'));
  EXPECT_TRUE(like("%%%%", "%%", '%'));
  // A lone "%" at the very end still reads as itself, the wildcard, as it
  // does while text is left.
  EXPECT_TRUE(like("a%", "a", '%'));
  EXPECT_TRUE(like("a%", "abc", '%'));
  // Other escape characters at the end of the pattern.
  EXPECT_FALSE(like("a%!%", "a", '!'));
  EXPECT_TRUE(like("a%!%", "ab%", '!'));
  EXPECT_FALSE(like("a!", "a", '!'));
  EXPECT_TRUE(like("a!", "a!", '!'));
  EXPECT_FALSE(like("a%!", "a", '!'));
  EXPECT_FALSE(like("%_", "", '_'));
  EXPECT_TRUE(like("a%%", "a", -1));
}

TEST(DataLikeMatch, WildcardsBacktrackingAndEscape) {
  unsigned char fold[256];
  for (int i = 0; i < 256; ++i) fold[i] = (unsigned char)(i >= 'a' && i <= 'z' ? i - 32 : i);
  auto like = [&](const std::string& pattern, const std::string& text, int escape = -1) {
    return LikeMatch((const unsigned char*)pattern.data(), pattern.size(), (const unsigned char*)text.data(),
                     text.size(), fold, escape);
  };
  EXPECT_TRUE(like("a%b%c", "aXXbYYbc"));
  EXPECT_FALSE(like("a%b%c", "aXXbYYbd"));
  EXPECT_TRUE(like("%%", ""));
  EXPECT_FALSE(like("_", ""));
  EXPECT_TRUE(like("%a_", "bbaab"));
  EXPECT_TRUE(like("ABC", "abc"));
  EXPECT_FALSE(like("abc", "abcd"));
  EXPECT_TRUE(like("a\\_c", "a_c", '\\'));
  EXPECT_FALSE(like("a\\_c", "abc", '\\'));
  EXPECT_TRUE(like("100\\%", "100%", '\\'));
  EXPECT_FALSE(like("100\\%", "1000", '\\'));
  EXPECT_TRUE(like("a\\", "a\\", '\\'));  // an escape at the end stands for itself
  // Many "%" against a long text must not take exponential time.
  std::string text(3000, 'a');
  EXPECT_FALSE(like("%a%a%a%a%a%a%a%a%b", text));
}
