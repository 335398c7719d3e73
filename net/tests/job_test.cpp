// HTTP jobs through the exports, against the local server.
#include <gtest/gtest.h>

#include <thread>

#include "SolvikaUtils.h"
#include "net_test_support.h"
#include "wide.h"

using namespace nettest;

namespace {

std::string ReadStr(JobHandle& job) {
  return TakeStr([&](SvStr* out) { SVNetGetReadStr(out, &job); });
}

TSVNetFileListRec File(JobHandle& job, int index) {
  TSVNetFileListRec rec = {};
  EXPECT_TRUE(SVNetGetFile(&job, index, &rec));
  return rec;
}

std::string Str(SvStr s) { return s ? std::string(s, (size_t)sv::Length(s)) : std::string(); }

void ReleaseRec(TSVNetFileListRec* r) {
  sv::Release(r->Name), sv::Release(r->Path), sv::Release(r->Host), sv::Release(r->ETag);
}

uint32_t Crc32(const std::string& s) {
  uint32_t c = 0xFFFFFFFFu;
  for (unsigned char b : s) {
    c ^= b;
    for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
  }
  return ~c;
}

// A zip archive with one stored (uncompressed) entry.
std::string StoredZip(const std::string& name, const std::string& data) {
  auto u16 = [](uint32_t v) { return std::string{(char)(v & 0xFF), (char)(v >> 8)}; };
  auto u32 = [&](uint32_t v) { return u16(v & 0xFFFF) + u16(v >> 16); };
  const uint32_t crc = Crc32(data), n = (uint32_t)data.size(), nl = (uint32_t)name.size();
  std::string local = u32(0x04034b50) + u16(10) + u16(0) + u16(0) + u16(0) + u16(0x21) + u32(crc) + u32(n) +
                      u32(n) + u16(nl) + u16(0) + name + data;
  std::string central = u32(0x02014b50) + u16(20) + u16(10) + u16(0) + u16(0) + u16(0) + u16(0x21) + u32(crc) +
                        u32(n) + u32(n) + u16(nl) + u16(0) + u16(0) + u16(0) + u16(0) + u32(0) + u32(0) + name;
  std::string end = u32(0x06054b50) + u16(0) + u16(0) + u16(1) + u16(1) + u32((uint32_t)central.size()) +
                    u32((uint32_t)local.size()) + u16(0);
  return local + central + end;
}

class JobTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host_ = ServerHost();
    if (host_.empty()) GTEST_SKIP() << "no local server";
  }
  // A GET job of the given files from `hosts` (explicit host list).
  void Download(JobHandle& job, const std::string& hosts, const std::string& path, const std::string& files,
                bool resume = false) {
    TSVNetParams p = Params(SVNET_GET, path.c_str());
    p.Files = (SvStr)files.c_str();
    p.LocalDir = (SvStr)dir_.Path().c_str();
    p.Host = (SvStr)hosts.c_str();
    p.HostMode = SVNET_HOSTS_EXPLICIT;
    p.Resume = resume;
    p.Timeout = 10000;
    ASSERT_EQ(0, SVNetInitEx(&job, p));
    ASSERT_EQ(0, SVNetRun(&job));
    ASSERT_TRUE(job.Wait());
  }
  std::string host_;
  ScratchDir dir_{"net"};
};

TEST_F(JobTest, FileListEntriesBecomeUrlsAndNames) {
  PutServerFile("files/a.bin", "AAAA");
  PutServerFile("files/b.bin", "BBBBBB");
  PutServerFile("files/dir/c.bin", "CC");
  PutServerFile("files/get.php.reply", "script reply");
  JobHandle job;
  Download(job, host_, "files", "a.bin/b.bin\tdir\\c.bin/dir//c.bin/get.php?id=5");
  ASSERT_TRUE(SVNetIsCorrect(&job));
  ASSERT_EQ(5, SVNetFilesCount(&job));
  const char* names[] = {"a.bin", "b.bin", "c.bin", "c.bin", "get.php"};
  const char* paths[] = {"a.bin", "b.bin", "dir/c.bin", "dir/c.bin", "get.php?id=5"};
  for (int i = 0; i < 5; ++i) {
    TSVNetFileListRec r = File(job, i);
    EXPECT_EQ(names[i], Str(r.Name));
    EXPECT_EQ(paths[i], Str(r.Path));
    EXPECT_EQ(host_, Str(r.Host));
    EXPECT_EQ(200, r.ResultCode);
    ReleaseRec(&r);
  }
  EXPECT_EQ("BBBBBB", ReadFileBytes(dir_ / "b.bin"));
  EXPECT_EQ("CC", ReadFileBytes(dir_ / "c.bin"));
  EXPECT_EQ("script reply", ReadFileBytes(dir_ / "get.php"));
  EXPECT_EQ(2u, RequestsFor("\"target\": \"/files/dir/c.bin\"").size());
  EXPECT_EQ(1u, RequestsFor("\"target\": \"/files/get.php?id=5\"").size());
  EXPECT_EQ(4 + 6 + 2 + 2 + 12, SVNetGetReadLengt(&job));
  EXPECT_EQ("http://" + host_ + "/", TakeStr([&](SvStr* o) { SVNetGetPath(o, &job); }));
}

TEST_F(JobTest, FailOverAcrossDeadAndWrongHostsRemembersTheGoodOne) {
  PutServerFile("fo/x.bin", "xyz");
  PutServerFile("fo/y.bin", "yy");
  const std::string wrong = FaultHost("status=404");
  JobHandle job;
  Download(job, DeadHost() + "//" + wrong + "/" + host_, "fo", "x.bin/y.bin");
  ASSERT_TRUE(SVNetIsCorrect(&job));
  EXPECT_EQ(200, SVNetGetResultCode(&job));
  TSVNetFileListRec y = File(job, 1);
  EXPECT_EQ(host_, Str(y.Host));
  ReleaseRec(&y);
  // The second file went straight to the host that served the first.
  EXPECT_EQ(1u, RequestsFor("\"target\": \"/fo/x.bin\", \"path\": \"/fo/x.bin\", \"query\": \"\", \"faults\": [\"status\"]").size());
  EXPECT_EQ(0u, RequestsFor("\"target\": \"/fo/y.bin\", \"path\": \"/fo/y.bin\", \"query\": \"\", \"faults\": [\"status\"]").size());

  // A file that no host has fails the run with the last host's status; later
  // files are not tried, and nothing is left on disk.
  JobHandle bad;
  Download(bad, wrong, "fo", "missing.bin/y.bin");
  EXPECT_FALSE(SVNetIsCorrect(&bad));
  EXPECT_EQ(404, SVNetGetResultCode(&bad));
  EXPECT_EQ("", ReadStr(bad));
  EXPECT_EQ(0, SVNetFilesCount(&bad));
  EXPECT_FALSE(SVFileExists((dir_ / "missing.bin").c_str()));
  EXPECT_EQ(0u, RequestsFor("\"target\": \"/fo/y.bin\", \"path\": \"/fo/y.bin\", \"query\": \"\", \"faults\": [\"status\"]").size());
}

TEST_F(JobTest, TheLastGoodHostIsTriedOnceWhenItStopsServing) {
  // The first run is served by a site host, which becomes the job's last
  // good host. Then the site loses the file: the next run, whose own list
  // also names that host, must ask it once before it moves on.
  const std::string site = "lastgood";
  const std::string siteHost = SiteHost(site);
  PutServerFile(site + "/lg/f.bin", "from the site");
  PutServerFile("lg/f.bin", "from the main host");
  JobHandle job;
  Download(job, siteHost, "lg", "f.bin");
  ASSERT_TRUE(SVNetIsCorrect(&job));
  EXPECT_EQ("http://" + siteHost + "/", TakeStr([&](SvStr* o) { SVNetGetPath(o, &job); }));
  ASSERT_TRUE(DeleteFileW(sv::Wide(ServerPath(site + "/lg/f.bin")).c_str()));

  Download(job, siteHost + "/" + host_, "lg", "f.bin");
  ASSERT_TRUE(SVNetIsCorrect(&job));
  EXPECT_EQ("from the main host", ReadFileBytes(dir_ / "f.bin"));
  EXPECT_EQ(2u, RequestsFor("\"target\": \"/lg/f.bin\"", site).size());  // one per run
}

TEST_F(JobTest, ResumeAppendsFromTheOffset) {
  std::string body = Pattern(50000, 3);
  PutServerFile("res/big.bin", body);
  ASSERT_TRUE(WriteFileBytes(dir_ / "big.bin", body.substr(0, 12345) + "junk beyond the offset"));
  JobHandle job;
  Download(job, host_, "res", "big.bin\x06\x06" "12345", true);
  ASSERT_TRUE(SVNetIsCorrect(&job));
  EXPECT_EQ(206, SVNetGetResultCode(&job));
  TSVNetFileListRec r = File(job, 0);
  EXPECT_EQ(12345, r.Offset);
  EXPECT_EQ(50000, r.Bytes);
  ReleaseRec(&r);
  EXPECT_TRUE(ReadFileBytes(dir_ / "big.bin") == body);
  EXPECT_NE(std::string::npos, RequestsFor("res/big.bin").back().find("\"Range\": \"bytes=12345-\""));

  // A local file shorter than the offset is fetched whole.
  ASSERT_TRUE(WriteFileBytes(dir_ / "big.bin", "short"));
  JobHandle again;
  Download(again, host_, "res", "big.bin\x06\x06" "12345", true);
  ASSERT_TRUE(SVNetIsCorrect(&again));
  EXPECT_EQ(200, SVNetGetResultCode(&again));
  EXPECT_TRUE(ReadFileBytes(dir_ / "big.bin") == body);
}

TEST_F(JobTest, ShortBodyFailsWithMinus2AndKeepsThePartOnlyWithResume) {
  PutServerFile("sh/s.bin", Pattern(40000, 9));
  JobHandle job;
  Download(job, FaultHost("short"), "sh", "s.bin");
  EXPECT_FALSE(SVNetIsCorrect(&job));
  EXPECT_EQ(-2, SVNetGetResultCode(&job));
  EXPECT_FALSE(SVFileExists((dir_ / "s.bin").c_str()));
  JobHandle kept;
  Download(kept, FaultHost("short"), "sh", "s.bin", true);
  EXPECT_EQ(-2, SVNetGetResultCode(&kept));
  EXPECT_EQ(20000u, ReadFileBytes(dir_ / "s.bin").size());
}

TEST_F(JobTest, MalformedRepliesFailTheRequestWithoutHanging) {
  PutServerFile("mal/m.bin", Pattern(5000, 1));
  for (const char* fault : {"badstatus", "badlength", "neglength", "hugeheader", "lyingchunk", "drop"}) {
    JobHandle job;
    Download(job, FaultHost(fault), "mal", "m.bin");
    EXPECT_FALSE(SVNetIsCorrect(&job)) << fault;
    EXPECT_LT(SVNetGetResultCode(&job), 0) << fault;
  }
}

TEST_F(JobTest, PostOrGetFallsBackToGetOn405AndSendsTheStandardFields) {
  PutServerFile("client/q.php.reply", "reply text");
  JobHandle job;
  SVNetInit(&job, 10000, "TAG");
  SVNetSetHost(&job, FaultHost("405").c_str());
  SVNetRunQuery(&job, "client/q.php?act=x");
  ASSERT_TRUE(job.Wait());
  ASSERT_TRUE(SVNetIsCorrect(&job));
  EXPECT_EQ("reply text", ReadStr(job));
  auto log = RequestsFor("\"target\": \"/client/q.php?act=x\"");
  ASSERT_EQ(2u, log.size());
  EXPECT_NE(std::string::npos, log[0].find("\"method\": \"POST\""));
  EXPECT_NE(std::string::npos, log[1].find("\"method\": \"GET\""));
  for (const char* field : {"\"svvn\"", "\"svnn\"", "\"svin\"", "\"svdn\""})
    EXPECT_NE(std::string::npos, log[0].find(field)) << field;
  EXPECT_NE(std::string::npos, log[0].find("; TAG)\""));  // user agent ends with the tag
  EXPECT_NE(std::string::npos, log[0].find("\"User-Agent\": \"Mozilla/4.0 (compatible; MSIE "));
}

TEST_F(JobTest, UploadPostsTheFileWithItsFields) {
  PutServerFile("client/up.php.reply", "stored");
  ASSERT_TRUE(WriteFileBytes(dir_ / "report.txt", "report body"));
  JobHandle job;
  SVNetInitUpload(&job, 0, "UP");
  SVNetSetHost(&job, host_.c_str());
  std::string folder = dir_.Path();
  folder.pop_back();  // the trailing "\" is added by the engine
  SVNetRunUpload(&job, folder.c_str(), "client/up.php", "report.txt");
  ASSERT_TRUE(job.Wait());
  ASSERT_TRUE(SVNetIsCorrect(&job));
  EXPECT_EQ("stored", ReadStr(job));
  auto log = RequestsFor("client/up.php");
  ASSERT_EQ(1u, log.size());
  EXPECT_NE(std::string::npos, log[0].find("\"filename\": \"report.txt\""));
  EXPECT_NE(std::string::npos, log[0].find("\"upf\": {\"filename\": \"report.txt\", \"size\": 11"));
  EXPECT_NE(std::string::npos, log[0].find("\"stat\""));
  EXPECT_GT(SVNetGetWriteLength(&job), 11);

  // Packed: the server gets "report.txt.zip", and the archive is gone again.
  if (!SVFileExists((TestProgramFolder() + "SolvikaPU.dll").c_str())) return;
  SVNetInitUpload(&job, 1, "UP");
  SVNetSetHost(&job, host_.c_str());
  SVNetRunUpload(&job, folder.c_str(), "client/up.php", "report.txt");
  ASSERT_TRUE(job.Wait());
  ASSERT_TRUE(SVNetIsCorrect(&job));
  log = RequestsFor("client/up.php");
  ASSERT_EQ(2u, log.size());
  EXPECT_NE(std::string::npos, log[1].find("\"filename\": \"report.txt.zip\"")) << log[1];
  EXPECT_FALSE(SVFileExists((dir_ / "report.txt.zip").c_str()));
  EXPECT_TRUE(SVFileExists((dir_ / "report.txt").c_str()));
}

TEST_F(JobTest, SizeQuerySumsContentLengthsOverSeveralFiles) {
  PutServerFile("sz/a", std::string(1000, 'a'));
  PutServerFile("sz/b", std::string(2345, 'b'));
  JobHandle job;
  SVNetInit(&job, 10000, "");
  SVNetSetHost(&job, host_.c_str());
  SVNetRunSizeQuery(&job, "sz", "a/b");
  ASSERT_TRUE(job.Wait());
  ASSERT_TRUE(SVNetIsCorrect(&job));
  EXPECT_EQ(3345, SVNetGetReadLengt(&job));
  TSVNetFileListRec b = File(job, 1);
  EXPECT_EQ(2345, b.Bytes);
  EXPECT_FALSE(Str(b.ETag).empty());
  EXPECT_GT(b.LastModified, 40000.0);  // a date after 2009
  ReleaseRec(&b);
}

TEST_F(JobTest, ChangedFileGetsANewETag) {
  PutServerFile("ch/f.bin", "first");
  JobHandle job;
  Download(job, FaultHost("change"), "ch", "f.bin");
  TSVNetFileListRec first = File(job, 0);
  Download(job, host_, "ch", "f.bin");
  TSVNetFileListRec second = File(job, 0);
  EXPECT_EQ("first+", ReadFileBytes(dir_ / "f.bin"));
  EXPECT_NE(Str(first.ETag), Str(second.ETag));
  EXPECT_GT(second.LastModified, first.LastModified);
  ReleaseRec(&first), ReleaseRec(&second);
}

TEST_F(JobTest, StopEndsAStalledTransferWithinASecond) {
  PutServerFile("st/s.bin", Pattern(10000, 2));
  JobHandle job;
  TSVNetParams p = Params(SVNET_GET, "st");
  p.Files = (SvStr) "s.bin";
  p.LocalDir = (SvStr)dir_.Path().c_str();
  std::string host = FaultHost("stall");
  p.Host = (SvStr)host.c_str();
  p.HostMode = SVNET_HOSTS_EXPLICIT;
  ASSERT_EQ(0, SVNetInitEx(&job, p));
  ASSERT_EQ(0, SVNetRun(&job));
  Sleep(500);
  int32_t index = -1, pos = -1;
  EXPECT_TRUE(SVNetGetPos(&job, &index, &pos));
  ASSERT_FALSE(SVNetIsDone(&job)) << SVNetGetResultCode(&job);
  DWORD t0 = GetTickCount();
  SVNetStop(&job);
  EXPECT_LT(GetTickCount() - t0, 1000u);
  EXPECT_TRUE(SVNetIsDone(&job));
  EXPECT_FALSE(SVNetIsCorrect(&job));
  EXPECT_FALSE(SVFileExists((dir_ / "s.bin").c_str()));
}

TEST_F(JobTest, ControlResultsAndStates) {
  JobHandle job;
  TSVNetParams p = Params(SVNET_GET, "x");
  p.Size = 44;
  EXPECT_EQ(2, SVNetInitEx(&job, p));
  EXPECT_EQ(4, SVNetRun(&job));  // not ready
  EXPECT_EQ(3, SVNetInitEx(nullptr, Params(SVNET_GET, "x")));
  void* none = nullptr;
  EXPECT_EQ(3, SVNetRun(&none));
  EXPECT_TRUE(SVNetIsDone(&none));
  EXPECT_EQ(0, SVNetGetResultCode(&none));
  EXPECT_EQ(0, SVNetInitEx(&job, Params(SVNET_NONE, "x")));
  EXPECT_EQ(2, SVNetRun(&job));  // no method
  EXPECT_EQ(0, SVNetInitEx(&job, Params(SVNET_GET, "")));
  EXPECT_EQ(2, SVNetRun(&job));  // no path

  // A local folder that cannot hold the file: -10, no request.
  TSVNetParams q = Params(SVNET_GET, "x");
  q.Files = (SvStr) "f.bin";
  std::string missing = dir_ / "no\\such\\folder";
  q.LocalDir = (SvStr)missing.c_str();
  q.Host = (SvStr)host_.c_str();
  q.HostMode = SVNET_HOSTS_EXPLICIT;
  ASSERT_EQ(0, SVNetInitEx(&job, q));
  ASSERT_EQ(0, SVNetRun(&job));
  ASSERT_TRUE(job.Wait());
  EXPECT_EQ(-10, SVNetGetResultCode(&job));
  SVNetFinalize(&job);
  EXPECT_EQ(0, SVNetGetReadLengt(&job) + SVNetFilesCount(&job));
}

TEST_F(JobTest, ZipDownloadsAreUnpacked) {
  std::string pu = TestProgramFolder() + "SolvikaPU.dll";
  if (!SVFileExists(pu.c_str())) GTEST_SKIP() << "SolvikaPU.dll not built yet";
  PutServerFile("zip/PACK.ZIP", StoredZip("in.txt", "hello"));
  PutServerFile("zip/second.zip", StoredZip("low.txt", "lower case"));
  JobHandle job;
  Download(job, host_, "zip", "PACK.ZIP/second.zip");
  ASSERT_TRUE(SVNetIsCorrect(&job)) << SVNetGetResultCode(&job);
  EXPECT_EQ("hello", ReadFileBytes(dir_ / "in.txt"));
  EXPECT_EQ("lower case", ReadFileBytes(dir_ / "low.txt"));
  EXPECT_FALSE(SVFileExists((dir_ / "PACK.ZIP").c_str()));
  EXPECT_FALSE(SVFileExists((dir_ / "second.zip").c_str()));
  // Without AutoExtract the archive stays as it came.
  SVNetInit(&job, 0, "");
  SVNetSetAutoExtr(&job, 0);
  SVNetSetHost(&job, host_.c_str());
  SVNetRunDownload(&job, dir_.Path().c_str(), "zip", "second.zip");
  ASSERT_TRUE(job.Wait());
  EXPECT_TRUE(SVFileExists((dir_ / "second.zip").c_str()));
}

}  // namespace
