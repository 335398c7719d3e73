// The reply text rules of the HTTP client.
#include <gtest/gtest.h>

#include "http/http_parse.h"

using namespace svnet;

TEST(HttpParse, StatusLineAndHeadersOfAnyCase) {
  ParsedHead h;
  ASSERT_TRUE(ParseHead("http/1.1 206 Partial Content\r\ncontent-LENGTH: 10\r\nETag:  \"x\" \r\n", &h));
  EXPECT_EQ(206, h.status);
  ASSERT_NE(nullptr, h.headers.Find("Content-Length"));
  EXPECT_EQ("10", *h.headers.Find("content-length"));
  EXPECT_EQ("\"x\"", *h.headers.Find("ETAG"));
  ASSERT_TRUE(ParseHead("HTTP/1.0 404\nServer: a\n", &h));  // no reason phrase, LF endings
  EXPECT_EQ(404, h.status);
  EXPECT_EQ(0, h.minorVersion);
}

TEST(HttpParse, RefusesWhatIsNotHttp) {
  ParsedHead h;
  EXPECT_FALSE(ParseHead("SPDY/9 OK\r\n", &h));
  EXPECT_FALSE(ParseHead("HTTP/1.1 2x0 OK\r\n", &h));
  EXPECT_FALSE(ParseHead("HTTP/1.1 20 OK\r\n", &h));
  EXPECT_FALSE(ParseHead("HTTP/2 200 OK\r\n", &h));
  EXPECT_FALSE(ParseHead("HTTP/1.1 200 OK\r\nno colon here\r\n", &h));
}

TEST(HttpParse, ContentLengthMustBeAPlainNumber) {
  int64_t v = -1;
  EXPECT_TRUE(ParseContentLength(" 268435456 ", &v));
  EXPECT_EQ(268435456, v);
  EXPECT_FALSE(ParseContentLength("-5", &v));
  EXPECT_FALSE(ParseContentLength("12x4", &v));
  EXPECT_FALSE(ParseContentLength("", &v));
  EXPECT_FALSE(ParseContentLength("99999999999999999999", &v));
}

TEST(HttpParse, ChunkSizes) {
  uint64_t v = 0;
  EXPECT_TRUE(ParseChunkSize("1aF;name=value", &v));
  EXPECT_EQ(0x1AFu, v);
  EXPECT_FALSE(ParseChunkSize("", &v));
  EXPECT_FALSE(ParseChunkSize("-1", &v));
  EXPECT_FALSE(ParseChunkSize("zz", &v));
}

TEST(HttpParse, HttpDatesInAllThreeForms) {
  double a = 0, b = 0, c = 0;
  ASSERT_TRUE(ParseHttpDate("Sun, 06 Nov 1994 08:49:37 GMT", &a));
  ASSERT_TRUE(ParseHttpDate("Sunday, 06-Nov-94 08:49:37 GMT", &b));
  ASSERT_TRUE(ParseHttpDate("Sun Nov  6 08:49:37 1994", &c));
  // 6 November 1994 is day 34644 after 30 December 1899.
  EXPECT_NEAR(34644 + (8 * 3600 + 49 * 60 + 37) / 86400.0, a, 1e-9);
  EXPECT_DOUBLE_EQ(a, b);
  EXPECT_DOUBLE_EQ(a, c);
  EXPECT_FALSE(ParseHttpDate("yesterday", &a));
}
