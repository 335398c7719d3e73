// The HTTP client against the local server: bodies, ranges, forms, faults,
// malformed replies, time-out, proxy and the cross-thread disconnect.
#include <gtest/gtest.h>

#include <thread>

#include "http/form.h"
#include "http/http_client.h"
#include "net_test_support.h"

using namespace svnet;
using namespace nettest;

namespace {

class HttpClientTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host_ = ServerHost();
    if (host_.empty()) GTEST_SKIP() << "no local server";
    body_ = Pattern(300000, 7);
    PutServerFile("client/hc.bin", body_);
    client_.timeoutMs = 10000;
  }
  int Get(const std::string& path, StringSink* sink, HttpResponse* r, const char* method = "GET") {
    HttpRequest req;
    req.method = method;
    req.url = "http://" + host_ + path;
    return client_.Execute(req, sink, r);
  }
  std::string host_, body_;
  HttpClient client_;
};

TEST_F(HttpClientTest, ContentLengthAndChunkedBodiesOverOneKeptConnection) {
  StringSink a, b;
  HttpResponse r;
  ASSERT_EQ(200, Get("/client/hc.bin", &a, &r));
  EXPECT_EQ((int64_t)body_.size(), r.contentLength);
  EXPECT_TRUE(a.text == body_);
  EXPECT_NE(nullptr, r.headers.Find("etag"));
  EXPECT_NE(nullptr, r.headers.Find("LAST-MODIFIED"));
  ASSERT_EQ(200, Get("/_f/chunked/client/hc.bin", &b, &r));
  EXPECT_EQ(-1, r.contentLength);
  EXPECT_TRUE(b.text == body_);
  StringSink c;
  ASSERT_EQ(200, Get("/_f/nolength/client/hc.bin", &c, &r));  // body ends with the connection
  EXPECT_TRUE(c.text == body_);
}

TEST_F(HttpClientTest, HeadRangesAndErrorStatuses) {
  StringSink s;
  HttpResponse r;
  ASSERT_EQ(200, Get("/client/hc.bin", &s, &r, "HEAD"));
  EXPECT_EQ((int64_t)body_.size(), r.contentLength);
  EXPECT_TRUE(s.text.empty());
  HttpRequest req;
  req.url = "http://" + host_ + "/client/hc.bin";
  req.rangeStart = 1000;
  StringSink part;
  ASSERT_EQ(206, client_.Execute(req, &part, &r));
  EXPECT_TRUE(part.text == body_.substr(1000));
  req.rangeStart = 1, req.rangeEnd = 1;
  part.text.clear();
  ASSERT_EQ(206, client_.Execute(req, &part, &r));
  EXPECT_EQ(body_.substr(1, 1), part.text);
  EXPECT_EQ(404, Get("/client/missing.bin", &s, &r));
  EXPECT_EQ(302, Get("/_f/redirect/client/hc.bin", &s, &r));  // redirects are not followed
  EXPECT_EQ(200, Get("/client/hc.bin", &s, &r, "HEAD"));      // and the client goes on working
}

TEST_F(HttpClientTest, MultipartPostWithFieldsAndOneFile) {
  Form form;
  form.AddField("svvn", "418");
  form.AddFileContent("upf", "report.txt", std::string("line1\r\n--not a boundary\r\n\0x", 28));
  HttpRequest req;
  req.method = "POST";
  req.url = "http://" + host_ + "/client/hcpost.php";
  req.body = form.Body();
  req.contentType = form.ContentType();
  PutServerFile("client/hcpost.php.reply", "done");
  StringSink s;
  HttpResponse r;
  ASSERT_EQ(200, client_.Execute(req, &s, &r));
  EXPECT_EQ("done", s.text);
  auto log = RequestsFor("hcpost.php");
  ASSERT_FALSE(log.empty());
  EXPECT_NE(std::string::npos, log.back().find("\"svvn\": \"418\""));
  EXPECT_NE(std::string::npos, log.back().find("\"filename\": \"report.txt\", \"size\": 28"));
  req.url = "http://" + host_ + "/_f/405/client/hcpost.php";
  EXPECT_EQ(405, client_.Execute(req, &s, &r));
}

TEST_F(HttpClientTest, MalformedRepliesFailWithACode) {
  StringSink s;
  HttpResponse r;
  EXPECT_EQ(kBadReply, Get("/_f/badstatus/client/hc.bin", &s, &r));
  EXPECT_EQ(kBadReply, Get("/_f/badlength/client/hc.bin", &s, &r));
  EXPECT_EQ(kBadReply, Get("/_f/neglength/client/hc.bin", &s, &r));
  EXPECT_EQ(kBadReply, Get("/_f/hugeheader/client/hc.bin", &s, &r));
  EXPECT_LT(Get("/_f/lyingchunk/client/hc.bin", &s, &r), 0);
  EXPECT_EQ(kConnectionLost, Get("/_f/drop/client/hc.bin", &s, &r));
  // A body shorter than its Content-Length is reported, not hidden.
  StringSink shortBody;
  ASSERT_EQ(200, Get("/_f/short/client/hc.bin", &shortBody, &r));
  EXPECT_TRUE(r.truncated);
  EXPECT_EQ((int64_t)body_.size() / 2, r.bodyBytes);
  EXPECT_EQ(200, Get("/client/hc.bin", &s, &r, "HEAD"));
}

TEST_F(HttpClientTest, ReadTimeoutAndUnreachableHosts) {
  client_.timeoutMs = 500;
  StringSink s;
  HttpResponse r;
  DWORD t0 = GetTickCount();
  EXPECT_EQ(kTimedOut, Get("/_f/stallhead/client/hc.bin", &s, &r));
  EXPECT_LT(GetTickCount() - t0, 5000u);
  HttpClient other;
  HttpRequest req;
  req.url = "http://" + DeadHost() + "/x";
  EXPECT_EQ(kConnectFailed, other.Execute(req, &s, &r));
  req.url = "http://nowhere.solvika.invalid/x";
  EXPECT_EQ(kConnectFailed, other.Execute(req, &s, &r));
  req.url = "http://127.0.0.1:99999/x";
  EXPECT_EQ(kConnectFailed, other.Execute(req, &s, &r));
}

TEST_F(HttpClientTest, DisconnectFromAnotherThreadWakesABlockedRead) {
  client_.timeoutMs = 60000;
  StringSink s;
  HttpResponse r;
  int result = 0;
  DWORD ended = 0;
  std::thread reader([&] {
    result = Get("/_f/stall/client/hc.bin", &s, &r);
    ended = GetTickCount();
  });
  Sleep(500);
  DWORD asked = GetTickCount();
  client_.Disconnect();
  reader.join();
  EXPECT_EQ(kStopped, result);
  EXPECT_LT(ended - asked, 1000u);
  EXPECT_EQ(kStopped, Get("/client/hc.bin", &s, &r));  // a stopped client stays stopped
}

TEST_F(HttpClientTest, ProxyWithBasicAuthenticationGetsAbsoluteUris) {
  uint16_t port = (uint16_t)std::stoi(Env("SV_NET_PORT"));
  client_.proxy.host = "127.0.0.1";
  client_.proxy.port = port;
  HttpRequest req;
  req.url = "http://files.needauth.invalid/client/hc.bin";
  StringSink s;
  HttpResponse r;
  EXPECT_EQ(407, client_.Execute(req, &s, &r));
  client_.proxy.user = "user";
  client_.proxy.password = "pass";
  s.text.clear();
  ASSERT_EQ(200, client_.Execute(req, &s, &r));
  EXPECT_TRUE(s.text == body_);
  auto log = RequestsFor("\"target\": \"http://files.needauth.invalid/client/hc.bin\"");
  ASSERT_EQ(2u, log.size());
  EXPECT_NE(std::string::npos, log[1].find("\"Proxy-Authorization\": \"Basic dXNlcjpwYXNz\""));
}

TEST_F(HttpClientTest, BlockSizeSetsTheProgressGrain) {
  std::vector<int64_t> steps;
  client_.blockSize = [] { return (size_t)1024; };
  client_.progress = [&](bool write, int64_t n) {
    if (!write) steps.push_back(n);
  };
  StringSink s;
  HttpResponse r;
  ASSERT_EQ(200, Get("/client/hc.bin", &s, &r));
  ASSERT_FALSE(steps.empty());
  EXPECT_EQ((int64_t)body_.size(), steps.back());
  for (size_t i = 1; i < steps.size(); ++i) EXPECT_LE(steps[i] - steps[i - 1], 1024);
  EXPECT_GE(steps.size(), body_.size() / 1024);
}

}  // namespace
