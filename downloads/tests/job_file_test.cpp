// Job files: the exact text a new job stores, reading back what was written,
// and what loading does with damaged, interrupted and hand-edited files.
#include <regex>

#include "SolvikaPU.h"
#include "SolvikaUtils.h"
#include "svstring.h"
#include "dnm_test_support.h"
#include "decimal.h"
#include "job_text.h"
#include "wide.h"

using namespace dnmtest;

namespace {

std::string Md5Of(const std::string& bytes) {
  return sv::Take(MD5Buffer(bytes.data(), (int32_t)bytes.size()));
}

// The body of a job file after its "Hash" line, checked against the digest.
std::string VerifiedBody(const std::string& text) {
  size_t eol = text.find('\n');
  if (eol == std::string::npos || text.compare(0, 5, "Hash\t") != 0) return "<no hash line>";
  std::string body = text.substr(eol + 1);
  EXPECT_EQ(text.substr(5, eol - 5), Md5Of("\x02" + body + "\x03"));
  return body;
}

class JobFile : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetJobFolder();
    target_ = TestProgramFolder() + "dnm_target\\";
    CreateDirectoryW(sv::Wide(target_).c_str(), nullptr);
  }
  std::string target_;
};

svdnm::JobRecord SampleJob(uint32_t code) {
  svdnm::JobRecord job;
  job.title = "sample";
  job.code = job.pos = code;
  job.status = 3;
  job.download.size = 48;
  job.download.method = 1;
  job.download.localDir = "C:\\x";
  job.files.resize(1);
  job.files[0].name = "a.bin";
  job.files[0].bytes = 10;
  return job;
}

}  // namespace

TEST_F(JobFile, NewDownloadIsStoredExactly) {
  std::string url = "Http://127.0.0.1:1/dir/sub/file.zip";
  ASSERT_TRUE(SVDNMCreateDownload(url.c_str(), target_.c_str()));
  std::vector<JobLine> jobs = Jobs();
  ASSERT_FALSE(jobs.empty());
  uint32_t code = jobs.front().code;
  EXPECT_EQ(url, jobs.front().title);
  EXPECT_TRUE(GetFileAttributesW(sv::Wide(Folder() + Hex(code)).c_str()) & FILE_ATTRIBUTE_DIRECTORY);

  std::string n = std::to_string(code);
  EXPECT_EQ("Title\t" + url + "\nCode\t" + n + "\nPos\t" + n +
                "\nStatus\t0\nTotalLength\t0\nDoneLength\t0\nCurrFile\t0\nCurrLength\t0\nIType\t0\nIParam\t\n"
                "Download-Size\t48\nDownload-Method\t1\nDownload-HType\t3\nDownload-TimeO\t60000\n"
                "Download-BAE\t0\nDownload-BRDS\t1\nDownload-BODW\t0\nDownload-Query\t/dir/sub/\n"
                "Download-Host\t127.0.0.1:1\nDownload-FNames\tfile.zip\nDownload-OutDir\t" +
                target_ + "\nDownload-UAgent\tSVDM 114\nPS-Size\t0\n",
            VerifiedBody(JobText(code)));
  SVDNMSetParams(SVDNM_SET_DELETE, (int32_t)code);
}

TEST_F(JobFile, AfterRequestAndIdentityAreStored) {
  Params download("h", "/p/", "a.zip", target_);
  TSVNetParams after{};
  after.Size = 48;
  after.Method = SVNET_POSTORGET;
  after.HostMode = 1;
  after.Timeout = 5000;
  after.Path = sv::NewStr("done.php");
  uint32_t code = SVDNMCreateJob(&download.p, &after, sv::Ru(u8"Плагин").c_str(), 1, "item-7");
  sv::Release(after.Path);
  ASSERT_NE(0u, code);
  ASSERT_NE(0xFFFFFFFFu, code);
  std::string body = VerifiedBody(JobText(code));
  EXPECT_NE(std::string::npos, body.find(sv::Ru(u8"Title\tПлагин\n"))) << body;
  EXPECT_NE(std::string::npos, body.find("IType\t1\nIParam\titem-7\n")) << body;
  EXPECT_NE(std::string::npos,
            body.find("PS-Size\t48\nPS-Method\t5\nPS-HType\t1\nPS-TimeO\t5000\nPS-BAE\t0\nPS-BRDS\t0\nPS-BODW\t0\n"
                      "PS-Query\tdone.php\nPS-Host\t\nPS-FNames\t\nPS-OutDir\t\nPS-UAgent\t\n"))
      << body;
  EXPECT_EQ(1, SVDNMGetStatusByIParam("item-7"));
  EXPECT_EQ(0, SVDNMGetStatusByIParam("item-8"));
  EXPECT_EQ(sv::Ru(u8"Плагин"), sv::TakeOut([&](SvStr* out) { SVDNMGetJobNameByBaseCode(out, code); }));
  SVDNMSetParams(SVDNM_SET_DELETE, (int32_t)code);
  EXPECT_EQ(2, SVDNMGetStatusByIParam("item-7"));
}

TEST_F(JobFile, RefusedArguments) {
  Params ok("h", "/p/", "a.zip", target_);
  Params missingFolder("h", "/p/", "a.zip", target_ + "missing\\");
  EXPECT_EQ(0u, SVDNMCreateJob(&missingFolder.p, nullptr, "t", 0, ""));
  EXPECT_EQ(0u, SVDNMCreateJob(nullptr, nullptr, "t", 0, ""));
  EXPECT_EQ(0u, SVDNMCreateJob(&ok.p, nullptr, "", 0, ""));
  Params post("h", "/p/", "a.zip", target_);
  post.p.Method = SVNET_POST;
  EXPECT_EQ(0u, SVDNMCreateJob(&post.p, nullptr, "t", 0, ""));
  Params afterWithFolder("h", "/p/", "", target_);
  EXPECT_EQ(0u, SVDNMCreateJob(&ok.p, &afterWithFolder.p, "t", 0, ""));
  // A line feed would split the value in the job file and read back wrong.
  EXPECT_EQ(0u, SVDNMCreateJob(&ok.p, nullptr, "two\r\nlines", 0, ""));
  EXPECT_EQ(0u, SVDNMCreateJob(&ok.p, nullptr, "t", 0, "key\nmore"));
  Params lfFiles("h", "/p/", "a.zip\nb.zip", target_);
  EXPECT_EQ(0u, SVDNMCreateJob(&lfFiles.p, nullptr, "t", 0, ""));

  for (const char* url : {"http://host", "http://host/", "ftp://host/dir/a.zip", "http:/host/a.zip",
                          "http://host/dir/\nx.zip"})
    EXPECT_FALSE(SVDNMCreateDownload(url, target_.c_str())) << url;
  EXPECT_TRUE(Jobs().empty());
  // A target relative to the program folder is written with a leading ":".
  EXPECT_TRUE(SVDNMCreateDownload("HTTP://host/a.zip", ":dnm_target"));
  uint32_t code = Jobs().front().code;
  EXPECT_NE(std::string::npos, JobText(code).find("Download-Query\t/\nDownload-Host\thost\nDownload-FNames\ta.zip\n"));
  SVDNMSetParams(SVDNM_SET_DELETE, (int32_t)code);
}

TEST(JobText, ReadsBackWhatItWrites) {
  svdnm::JobRecord job = SampleJob(7);
  job.status = 9;
  job.files.resize(2);
  job.files[1].name = "b";
  job.files[1].bytes = -1;
  job.files[1].lastModified = 39593.0;
  job.files[1].eTag = "\"x\ty\"";  // a tab inside a value survives
  std::string text = svdnm::BuildJobText(job);
  EXPECT_NE(std::string::npos, text.find("File-1-rLength\t4294967295\n"));
  EXPECT_NE(std::string::npos, text.find("File-1-rLastMod\t 3.95930000000000E+0004\n"));
  EXPECT_NE(std::string::npos, text.find("File-0-rLastMod\t 0.00000000000000E+0000\n"));
  svdnm::JobRecord back;
  ASSERT_TRUE(svdnm::ParseJobText(text, back));
  EXPECT_EQ(svdnm::BuildJobText(job), svdnm::BuildJobText(back));
  EXPECT_EQ(-1, back.files[1].bytes);
  EXPECT_EQ("-1.50000000000000E-0003", svdnm::FormatLastModified(-0.0015));
  EXPECT_DOUBLE_EQ(-0.0015, svdnm::ParseLastModified("-1.5e-3"));
  EXPECT_EQ(0xFFFFFFFFu, sv::ParseDecimal("-1"));
  EXPECT_EQ(5u, sv::ParseDecimal("4294967301"));  // low 32 bits of a 64-bit number
}

TEST(JobText, StatusesOfInterruptedWorkAreRemapped) {
  const int expected[13] = {0, 0, 0, 3, 5, 5, 6, 6, 6, 9, 3, 11, 12};
  for (int s = 0; s <= 12; s++) {
    svdnm::JobRecord job = SampleJob(1);
    job.status = (uint8_t)s;
    svdnm::JobRecord back;
    ASSERT_TRUE(svdnm::ParseJobText(svdnm::BuildJobText(job), back));
    EXPECT_EQ(expected[s], back.status) << "saved as " << s;
  }
}

TEST(JobText, LinesOutOfPlaceAreIgnored) {
  std::string body =
      "Title\tt\nFile-0-FName\tearly\nDownload-Host\tearly\nDownload-Size\t48\nDownload-Host\th\n"
      "FCount\t2\nFile-1-FName\tb\nFile-2-FName\tbeyond\nFile-x-FName\tbad\nUnknown\tv\nnotab\n\n"
      "PS-Size\t0\nPS-Host\tignored\n";
  svdnm::JobRecord job;
  ASSERT_TRUE(svdnm::ParseJobText("Hash\t" + Md5Of("\x02" + body + "\x03") + "\n" + body, job));
  EXPECT_EQ("h", job.download.host);
  EXPECT_EQ("", job.ps.host);
  ASSERT_EQ(2u, job.files.size());
  EXPECT_EQ("", job.files[0].name);
  EXPECT_EQ("b", job.files[1].name);

  svdnm::JobRecord other;
  EXPECT_FALSE(svdnm::ParseJobText("Title\tt\n" + body, other)) << "the hash line comes first";
  EXPECT_FALSE(svdnm::ParseJobText("Hash\t" + Md5Of("\x02" + body + "\x03") + "\n" + body + "X", other));
}

TEST(JobText, FileCountIsBoundByTheTextThatFollows) {
  auto parse = [](const std::string& body, svdnm::JobRecord* job) {
    return svdnm::ParseJobText("Hash\t" + Md5Of("\x02" + body + "\x03") + "\n" + body, *job);
  };
  // A count of four thousand million in a text that could describe three
  // files at most: three entries, with what the text says of them.
  svdnm::JobRecord job;
  ASSERT_TRUE(parse("FCount\t4294967295\nFile-0-FName\ta\nFile-1-FName\tb\nFile-2-FName\tc\n", &job));
  ASSERT_EQ(3u, job.files.size());
  EXPECT_EQ("a", job.files[0].name);
  EXPECT_EQ("c", job.files[2].name);
  // Nothing after the count: no files at all.
  svdnm::JobRecord bare;
  ASSERT_TRUE(parse("Title\tt\nFCount\t2000000000\n", &bare));
  EXPECT_EQ(0u, bare.files.size());
  EXPECT_EQ("t", bare.title);
  // Written files of any count read back whole.
  svdnm::JobRecord many = SampleJob(3), back;
  many.files.resize(300);
  many.files[299].name = "last";
  ASSERT_TRUE(svdnm::ParseJobText(svdnm::BuildJobText(many), back));
  ASSERT_EQ(300u, back.files.size());
  EXPECT_EQ("last", back.files[299].name);
}

TEST_F(JobFile, LoadingDropsDamagedJobsAndKeepsGoodOnes) {
  svdnm::JobRecord good = SampleJob(0x101), tampered = SampleJob(0x102), transferring = SampleJob(0x103);
  transferring.status = 4;
  WriteJob(good);
  WriteJob(tampered);
  WriteJob(transferring);
  // One status digit changed inside the compressed body.
  std::string text = svdnm::BuildJobText(tampered);
  text.replace(text.find("Status\t3"), 8, "Status\t9");
  SvStr in = sv::NewStr(text), packed = nullptr;
  zlibCompress(&packed, in);
  sv::Release(in);
  WriteFileBytes(Folder() + Hex(0x102) + ".svdnm", sv::Take(packed));
  CreateDirectoryW(sv::Wide(Folder() + Hex(0x102)).c_str(), nullptr);
  WriteFileBytes(Folder() + Hex(0x102) + "\\part.bin", "partial");
  CreateDirectoryW(sv::Wide(Folder() + Hex(0x102) + "-1").c_str(), nullptr);
  // Not a zlib stream at all, and an empty file.
  WriteFileBytes(Folder() + Hex(0x104) + ".svdnm", "garbage");
  WriteFileBytes(Folder() + Hex(0x105) + ".svdnm", "");
  // A save that was interrupted before its replace: the old file holds.
  WriteFileBytes(Folder() + Hex(0x101) + ".svdnm.new", "half a fi");

  {
    Running manager;
    std::vector<JobLine> jobs = Jobs();
    ASSERT_EQ(2u, jobs.size());
    EXPECT_EQ(0x103u, jobs[0].code);  // the list runs from the last job to the first
    EXPECT_EQ(5, jobs[0].status) << "an interrupted transfer loads as paused";
    EXPECT_EQ(0x101u, jobs[1].code);
    EXPECT_EQ(3, jobs[1].status);
  }
  for (uint32_t gone : {0x102u, 0x104u, 0x105u})
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(sv::Wide(Folder() + Hex(gone) + ".svdnm").c_str()));
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(sv::Wide(Folder() + Hex(0x102)).c_str()));
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(sv::Wide(Folder() + Hex(0x102) + "-1").c_str()));
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(sv::Wide(Folder() + Hex(0x101) + ".svdnm.new").c_str()));
  EXPECT_NE("", JobText(0x101));
}

// Codes come from a counter read once per process: checked in a child.
TEST(JobCodes, SkipExistingFilesAndFolders) {
  ScratchDir dir("codes");
  std::string exe = CopyTestProgram(dir.Path(), {"SolvikaDNM.dll", "SolvikaNet.dll", "SolvikaUtils.dll",
                                                 "SolvikaPU.dll", "UnzDll.dll", "ZipDll.dll"});
  CreateDirectoryW(sv::Wide(dir / "SVData").c_str(), nullptr);
  CreateDirectoryW(sv::Wide(dir / "SVData\\SVDNM").c_str(), nullptr);
  WriteFileBytes(dir / "SolvikaLC.ini", "[SVDNM]\r\nLastHandle=41\r\n");
  WriteFileBytes(dir / "SVData\\SVDNM\\0000002A.svdnm", "x");
  CreateDirectoryW(sv::Wide(dir / "SVData\\SVDNM\\0000002C").c_str(), nullptr);
  ChildResult r = RunChild(exe, "--gtest_filter=JobCodesChild.*", dir.Path());
  EXPECT_EQ(0u, r.exitCode) << r.output;
  EXPECT_NE(std::string::npos, ReadFileBytes(dir / "SolvikaLC.ini").find("LastHandle=45"));
}

TEST(JobCodesChild, Allocate) {
  if (!InChild()) GTEST_SKIP();
  std::string target = TestProgramFolder();
  ASSERT_TRUE(SVDNMCreateDownload("http://h/a.zip", target.c_str()));
  ASSERT_TRUE(SVDNMCreateDownload("http://h/b.zip", target.c_str()));
  std::vector<JobLine> jobs = Jobs();
  ASSERT_EQ(2u, jobs.size());
  EXPECT_EQ(45u, jobs[0].code);
  EXPECT_EQ(43u, jobs[1].code);
}
