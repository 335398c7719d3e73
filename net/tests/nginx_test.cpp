// The client and the jobs against a real web server: nginx from Debian,
// started by the test wrapper on the same folder as the local server. Skipped
// when nginx is not installed.
#include <gtest/gtest.h>

#include "SolvikaUtils.h"
#include "http/http_client.h"
#include "net_test_support.h"

using namespace nettest;
using namespace svnet;

namespace {

class NginxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string port = Env("SV_NGINX_PORT");
    if (port.empty() || ServerHost().empty()) GTEST_SKIP() << "nginx is not installed";
    host_ = "127.0.0.1:" + port;
    body_ = Pattern(200000, 11);
    PutServerFile("ngx/n.bin", body_);
  }
  std::string host_, body_;
  ScratchDir dir_{"ngx"};
};

TEST_F(NginxTest, ClientReadsWhatARealServerSends) {
  HttpClient client;
  client.timeoutMs = 10000;
  HttpRequest req;
  req.url = "http://" + host_ + "/ngx/n.bin";
  StringSink all;
  HttpResponse r;
  ASSERT_EQ(200, client.Execute(req, &all, &r));
  EXPECT_TRUE(all.text == body_);
  ASSERT_NE(nullptr, r.headers.Find("etag"));
  double when = 0;
  ASSERT_NE(nullptr, r.headers.Find("last-modified"));
  EXPECT_TRUE(ParseHttpDate(*r.headers.Find("last-modified"), &when));
  req.rangeStart = 150000;  // same kept connection
  StringSink tail;
  ASSERT_EQ(206, client.Execute(req, &tail, &r));
  EXPECT_TRUE(tail.text == body_.substr(150000));
  req.method = "HEAD";
  req.rangeStart = -1;
  StringSink none;
  ASSERT_EQ(200, client.Execute(req, &none, &r));
  EXPECT_EQ(200000, r.contentLength);
  EXPECT_TRUE(none.text.empty());
  req.method = "GET";
  req.url = "http://" + host_ + "/ngx/missing.bin";
  EXPECT_EQ(404, client.Execute(req, &none, &r));
  req.url = "http://" + host_ + "/ngx";  // a folder: nginx redirects, the client does not follow
  EXPECT_EQ(301, client.Execute(req, &none, &r));
}

TEST_F(NginxTest, JobsResumeAndFallBackToGetOn405) {
  ASSERT_TRUE(WriteFileBytes(dir_ / "n.bin", body_.substr(0, 70000)));
  void* job = nullptr;
  SVNetCreateEx(&job);
  TSVNetParams p = Params(SVNET_GET, "ngx");
  p.Files = (SvStr) "n.bin\x06\x06" "70000";
  p.LocalDir = (SvStr)dir_.Path().c_str();
  p.Host = (SvStr)host_.c_str();
  p.HostMode = SVNET_HOSTS_EXPLICIT;
  p.Resume = 1;
  ASSERT_EQ(0, SVNetInitEx(&job, p));
  ASSERT_EQ(0, SVNetRun(&job));
  while (!SVNetIsDone(&job)) Sleep(10);
  EXPECT_TRUE(SVNetIsCorrect(&job));
  EXPECT_EQ(206, SVNetGetResultCode(&job));
  EXPECT_TRUE(ReadFileBytes(dir_ / "n.bin") == body_);

  // nginx answers 405 to a POST of a static file: the query falls back to GET.
  SVNetInit(&job, 10000, "");
  SVNetSetHost(&job, host_.c_str());
  SVNetRunQuery(&job, "ngx/n.bin");
  while (!SVNetIsDone(&job)) Sleep(10);
  EXPECT_TRUE(SVNetIsCorrect(&job));
  EXPECT_EQ(200, SVNetGetResultCode(&job));
  EXPECT_EQ(200000, SVNetGetReadLengt(&job));
  SVNetDestroy(&job);
}

}  // namespace
