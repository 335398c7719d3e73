// The network configuration record and the main thread's server protocol.
// Engine runs happen in net_probe.exe, copied with the libraries into a
// program folder of its own, so that each has its own Tovrin.ini,
// TovrinNet.cfg and command line.
#include <gtest/gtest.h>

#include <cstring>

#include "SolvikaUtils.h"
#include "mainthread/config.h"
#include "net_test_support.h"
#include "wide.h"

using namespace nettest;
using namespace svnet;

namespace {

// The built-in lists this build was made with.
std::string BuiltInHostsForTest(bool source) { return source ? SVNET_SOURCE_HOSTS : SVNET_SCRIPT_HOSTS; }

TEST(NetConfig, RecordLayoutMaskAndHostLimit) {
  CfgRecord r = {};
  StoreHostList(&r, false, "h1/h2/h3/h4/h5/h6//h8/h9/h10/h11/h12");
  StoreHostList(&r, true, std::string(60, 's'));
  SetSlotText(&r, 1022, "proxy.example");
  r.bytes[1175] = 0x90, r.bytes[1176] = 0x1F;  // 8080
  EXPECT_EQ(10, r.bytes[1020]);
  EXPECT_EQ(1, r.bytes[1021]);
  EXPECT_EQ("h1/h2/h3/h4/h5/h6//h8/h9/h10/", StoredHostsText(r, false));  // empty name kept, 11 and 12 dropped
  EXPECT_EQ(std::string(50, 's') + "/", StoredHostsText(r, true));
  EXPECT_EQ(2, r.bytes[0]);
  EXPECT_EQ('h', r.bytes[1]);
  EXPECT_EQ(3, r.bytes[9 * 51]);  // slot 10 holds "h10"
  EXPECT_EQ(50, r.bytes[510]);
  std::string file = EncodeCfg(r);
  ASSERT_EQ(1177u, file.size());
  EXPECT_EQ((char)(2 ^ 0x3C), file[0]);
  EXPECT_EQ((char)(0x90 ^ 0x3C), file[1175]);
  CfgRecord back = DecodeCfg(file);
  EXPECT_EQ(0, std::memcmp(back.bytes, r.bytes, 1177));
  // A damaged record (a count above ten) loads as all zero, proxy included.
  std::string damaged = file;
  damaged[1021] = (char)(11 ^ 0x3C);
  CfgRecord zero = DecodeCfg(damaged);
  for (unsigned char b : zero.bytes) ASSERT_EQ(0, b);
  // A short file leaves the rest zero.
  CfgRecord part = DecodeCfg(file.substr(0, 600));
  EXPECT_EQ(2, part.bytes[0]);
  EXPECT_EQ(0, part.bytes[1020]);
}

class MainThreadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host_ = ServerHost();
    if (host_.empty()) GTEST_SKIP() << "no local server";
    for (const char* f : {"net_probe.exe", "SolvikaNet.dll", "SolvikaUtils.dll", "SolvikaPU.dll"})
      CopyFileW(sv::Wide(TestProgramFolder() + f).c_str(), sv::Wide(dir_ / f).c_str(), FALSE);
  }
  std::string Probe(const std::string& args, DWORD timeoutMs = 30000) {
    ChildResult r = RunChild(dir_ / "net_probe.exe", args, dir_.Path(), timeoutMs);
    EXPECT_EQ(0u, r.exitCode) << r.output;
    return r.output;
  }
  // Each test talks to a site of its own, so that script replies and request
  // records of one test do not meet those of another.
  std::string Site() const { return ::testing::UnitTest::GetInstance()->current_test_info()->name(); }
  std::string SiteHostName() { return SiteHost(Site()); }
  void PutSiteFile(const std::string& rel, const std::string& bytes) { PutServerFile(Site() + "/" + rel, bytes); }
  std::string Override() { return " -tnnetdefaulthost:" + SiteHostName(); }
  CfgRecord StoredCfg() { return DecodeCfg(ReadFileBytes(dir_ / "TovrinNet.cfg")); }
  std::string Ini(const char* section, const char* key) {
    wchar_t buf[256];
    GetPrivateProfileStringW(sv::Wide(section).c_str(), sv::Wide(key).c_str(), L"<none>", buf, 256,
                             sv::Wide(dir_ / "Tovrin.ini").c_str());
    return sv::Narrow(buf);
  }
  std::string host_;
  ScratchDir dir_{"netmain"};
};

TEST_F(MainThreadTest, FirstStartAsksForHostsThenStatusAndObeysTheReply) {
  std::string twelve;
  for (int i = 1; i <= 12; ++i) twelve += (i > 1 ? "/" : "") + std::string("s") + std::to_string(i) + ".invalid";
  PutSiteFile("client/svparams.php.gethosts.reply", "SCRIPTS\t" + twelve + "\nSOURCES\tfiles.invalid\n");
  PutSiteFile("client/svparams.php.readstat.reply",
                "VERSION\t418\nPLUGINS\n\t5\tplug\tPlug name\tTools\n\t6\tbad\tonly three\n"
                "SETINIVALUES\n\tOpts\tColor\tred\n\tOpts\t\tno key\n"
                "DELETEINIVALUES\n\tGone\t\n\tKeep\tdrop\nUNKNOWN\targ\n\tOpts\tLate\tx\n");
  ASSERT_TRUE(WriteFileBytes(dir_ / "Tovrin.ini",
                             "[*old]\r\nNewVersion=7\r\n[Gone]\r\nk=v\r\n[Keep]\r\ndrop=1\r\nstay=2\r\n"));
  std::string out = Probe("run 418 20000 -tnnetopendebugconsole" + Override());
  EXPECT_NE(std::string::npos, out.find("IDLE=1")) << out;
  // The debug log, in order.
  size_t at = 0;
  for (std::string line : std::initializer_list<std::string>{"--SVNet started", "Load Configs", "Load Configs File: ", "Program version: 418",
                           "Scripts: " + SiteHostName(), "--SVNet main thread started",
                           " [POSTorGET] /client/svparams.php?act=gethosts", "#", " File: \r\n", " Host: " + SiteHostName(),
                           "~Result #", "~Done #", " [POSTorGET] <OK> " + SiteHostName(),
                           "--TovrinNet main query done", "Set script hosts: s1.invalid/", "Set source hosts: files.invalid",
                           "Save Configs", "?act=readstat", "--SVNet main thread stopped", "--SVNet stopped"}) {
    size_t found = out.find(line, at);
    ASSERT_NE(std::string::npos, found) << "missing after " << at << ": " << line << "\n" << out;
    at = found + line.size();
  }
  EXPECT_NE(std::string::npos, out.find("SCRIPTS=" + SiteHostName() + "\r\n")) << out;  // the override stands alone
  EXPECT_NE(std::string::npos, out.find("MAINPATH=http://" + SiteHostName() + "/")) << out;

  auto gethosts = RequestsFor("client/svparams.php?act=gethosts", Site());
  auto readstat = RequestsFor("client/svparams.php?act=readstat&configvers=0&comvers=0&count=1&sumver=7", Site());
  ASSERT_EQ(1u, gethosts.size());
  ASSERT_EQ(1u, readstat.size());
  EXPECT_NE(std::string::npos, readstat[0].find("; MAIN)"));
  EXPECT_NE(std::string::npos, readstat[0].find("\"svvn\": \"418\""));

  EXPECT_EQ("Plug name", Ini("*plug", "Name"));
  EXPECT_EQ("5", Ini("*plug", "NewVersion"));
  EXPECT_EQ("Tools", Ini("*plug", "Section"));
  EXPECT_EQ("<none>", Ini("*bad", "Name"));
  EXPECT_EQ("red", Ini("Opts", "Color"));
  EXPECT_EQ("<none>", Ini("Opts", "Late"));  // a data line after an unknown command
  EXPECT_EQ("<none>", Ini("Gone", "k"));
  EXPECT_EQ("<none>", Ini("Keep", "drop"));
  EXPECT_EQ("2", Ini("Keep", "stay"));

  CfgRecord cfg = StoredCfg();
  EXPECT_EQ(10, cfg.bytes[1020]);
  EXPECT_EQ("s1.invalid/s2.invalid/s3.invalid/s4.invalid/s5.invalid/s6.invalid/s7.invalid/s8.invalid/"
            "s9.invalid/s10.invalid/",
            StoredHostsText(cfg, false));
  EXPECT_EQ("files.invalid/", StoredHostsText(cfg, true));
  EXPECT_FALSE(SVFileExists((dir_ / "TovrinNet.cfg.new").c_str()));

  // Without the override the stored hosts come before the built-in ones.
  std::string hosts = Probe("hosts");
  EXPECT_NE(std::string::npos, hosts.find("SCRIPTS=s1.invalid/s2.invalid/")) << hosts;
  EXPECT_NE(std::string::npos, hosts.find("s10.invalid/" + BuiltInHostsForTest(false) + "\r\n")) << hosts;
  EXPECT_NE(std::string::npos, hosts.find("SOURCES=files.invalid/" + BuiltInHostsForTest(true) + "\r\n")) << hosts;
  EXPECT_NE(std::string::npos, hosts.find("IDLE=0")) << hosts;  // version 65535: no main thread
}

TEST_F(MainThreadTest, AFailedQuerySwitchesToTheOtherScript) {
  PutSiteFile("client/update.php.gethosts.reply", "STAT\tid-1\n");
  PutSiteFile("client/update.php.readstat.reply", "VERSION\t1\n");
  std::string out = Probe("run 418 20000 kick=1" + Override());
  EXPECT_NE(std::string::npos, out.find("IDLE=1")) << out;
  std::vector<std::string> order;
  for (auto& r : Requests(Site())) {
    size_t p = r.find("\"target\": \"/client/");
    if (p != std::string::npos) order.push_back(r.substr(p + 19, r.find('"', p + 19) - p - 19));
  }
  ASSERT_GE(order.size(), 3u);
  EXPECT_EQ("svparams.php?act=gethosts", order[0]);
  EXPECT_EQ("update.php?act=gethosts", order[1]);
  EXPECT_EQ(0u, order[2].find("update.php?act=readstat&configvers=0&comvers=0&count=0&sumver=0"));
  // The stop ends the main thread without waiting out its hour.
  size_t stop = out.find("STOPMS=");
  ASSERT_NE(std::string::npos, stop);
  EXPECT_LT(std::stoi(out.substr(stop + 7)), 3000) << out;
}

TEST_F(MainThreadTest, NewVersionWithHideStartsTheUpdateWithoutAsking) {
  PutSiteFile("client/svparams.php.gethosts.reply", "VERSION\t419\nHIDE\n");
  Probe("run 418 20000" + Override());
  // The engine started its own program again with "-update": here the probe,
  // which leaves a mark and ends.
  std::string mark;
  for (int i = 0; i < 100 && mark.empty(); ++i, Sleep(100)) mark = ReadFileBytes(dir_ / "update_started.txt");
  EXPECT_NE(std::string::npos, mark.find("-update")) << mark;
}

TEST_F(MainThreadTest, ProxySettingsAreSavedByteForByteAndDamageIsDiscarded) {
  Probe("setproxy proxy.local 3128 " + std::string(60, 'u') + " secret");
  std::string file = ReadFileBytes(dir_ / "TovrinNet.cfg");
  ASSERT_EQ(1177u, file.size());
  CfgRecord expected = {};
  SetSlotText(&expected, 1022, "proxy.local");
  SetSlotText(&expected, 1073, std::string(50, 'u'));
  SetSlotText(&expected, 1124, "secret");
  expected.bytes[1175] = 3128 & 0xFF, expected.bytes[1176] = 3128 >> 8;
  EXPECT_TRUE(file == EncodeCfg(expected));
  std::string hosts = Probe("hosts");
  EXPECT_NE(std::string::npos, hosts.find("PROXY=proxy.local:3128:" + std::string(50, 'u') + ":secret")) << hosts;

  std::string damaged = file;
  damaged[1020] = (char)(11 ^ 0x3C);
  ASSERT_TRUE(WriteFileBytes(dir_ / "TovrinNet.cfg", damaged));
  hosts = Probe("hosts");
  EXPECT_NE(std::string::npos, hosts.find("PROXY=:0::\r\n")) << hosts;
  EXPECT_NE(std::string::npos, hosts.find("SCRIPTS=" + BuiltInHostsForTest(false) + "\r\n")) << hosts;
}

TEST_F(MainThreadTest, CommandLineOverridesTheHostLists) {
  std::string out = Probe("hosts -tnnetlocalhost -tnnetdefaulthost:other");
  EXPECT_NE(std::string::npos, out.find("SCRIPTS=localhost\r\nSOURCES=localhost\r\n")) << out;
  out = Probe("hosts -tnnetdefaulthost:h1:81/h2");
  EXPECT_NE(std::string::npos, out.find("SCRIPTS=h1:81/h2\r\nSOURCES=h1:81/h2\r\n")) << out;
  out = Probe("hosts -TNNETLOCALHOST");  // exact case only
  EXPECT_NE(std::string::npos, out.find("SCRIPTS=" + BuiltInHostsForTest(false) + "\r\n")) << out;
}

}  // namespace
