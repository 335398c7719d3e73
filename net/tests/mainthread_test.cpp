// The network configuration record, the main thread's server protocol, and
// job behaviour that needs a process of its own (the stored proxy, a worker
// that has to be killed). Engine runs happen in net_probe.exe, copied with
// the libraries into a program folder of its own, so that each has its own
// Tovrin.ini, TovrinNet.cfg, command line and debug log.
#include <gtest/gtest.h>

#include <cstring>

#include "SolvikaUtils.h"
#include "mainthread/config_record.h"
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
  // The command line a started copy of the probe left in `mark`, waiting up
  // to ten seconds for it.
  std::string Started(const std::string& mark) {
    std::string text;
    for (int i = 0; i < 100 && text.empty(); ++i, Sleep(100)) text = ReadFileBytes(dir_ / mark);
    return text;
  }
  // The lines appear in `out` in this order.
  void ExpectInOrder(const std::string& out, std::initializer_list<std::string> lines) {
    size_t at = 0;
    for (const std::string& line : lines) {
      size_t found = out.find(line, at);
      ASSERT_NE(std::string::npos, found) << "missing after " << at << ": " << line << "\n" << out;
      at = found + line.size();
    }
  }
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
  std::string mark = Started("update_started.txt");
  EXPECT_NE(std::string::npos, mark.find("-update")) << mark;
}

TEST_F(MainThreadTest, NewVersionAsksAndOnlyYesStartsTheUpdate) {
  PutSiteFile("client/svparams.php.gethosts.reply", "VERSION\t419\n");
  const std::string question =
      std::string("QUESTION=") + u8"Найдена новая версия программы \"Solvika\"\rХотите обновить?" + "\r\n";
  std::string out = Probe("run 418 20000 answer=no window -tnnetopendebugconsole" + Override());
  EXPECT_NE(std::string::npos, out.find(question)) << out;
  EXPECT_NE(std::string::npos, out.find("BUTTONS=YN\r\n")) << out;
  EXPECT_NE(std::string::npos, out.find("OWNED=1\r\n")) << out;
  ExpectInOrder(out, {"--TovrinNet main query done", "--TovrinNet is new version", "IDLE=1", "--SVNet stopped"});
  EXPECT_EQ(std::string::npos, out.find("--TovrinNet Run TovrinUpdate.exe")) << out;

  out = Probe("run 418 20000 answer=yes -tnnetopendebugconsole" + Override());
  ExpectInOrder(out, {"--TovrinNet is new version", "QUESTION=", "--TovrinNet Run TovrinUpdate.exe", "IDLE=1"});
  EXPECT_NE(std::string::npos, Started("update_started.txt").find("-update"));
}

TEST_F(MainThreadTest, ProgramsBelowVersion200StartTheOldUpdaters) {
  for (const char* name : {"TovrinUpdate.exe", "MegaPatch.exe"})
    CopyFileW(sv::Wide(dir_ / "net_probe.exe").c_str(), sv::Wide(dir_ / name).c_str(), FALSE);
  PutSiteFile("client/svparams.php.gethosts.reply", "VERSION\t419\nHIDE\n");
  std::string out = Probe("run 150 20000 -tnnetopendebugconsole" + Override());
  ExpectInOrder(out, {"--TovrinNet is new version", "--TovrinNet Run TovrinUpdate.exe",
                      "--TovrinNet Run MegaPatch.exe", "IDLE=1"});
  EXPECT_NE(std::string::npos, Started("TovrinUpdate.exe.started.txt").find(" -hideupdate"));
  EXPECT_NE(std::string::npos, Started("MegaPatch.exe.started.txt").find(" -hideupdate"));
  EXPECT_FALSE(SVFileExists((dir_ / "update_started.txt").c_str()));  // not the program itself

  // Without HIDE the question comes first and the updaters get no parameter.
  for (const char* mark : {"TovrinUpdate.exe.started.txt", "MegaPatch.exe.started.txt"})
    DeleteFileW(sv::Wide(dir_ / mark).c_str());
  PutSiteFile("client/svparams.php.gethosts.reply", "VERSION\t419\n");
  out = Probe("run 150 20000 answer=yes" + Override());
  EXPECT_NE(std::string::npos, out.find("QUESTION=")) << out;
  std::string mark = Started("TovrinUpdate.exe.started.txt");
  EXPECT_NE(std::string::npos, mark.find("TovrinUpdate.exe")) << mark;
  EXPECT_EQ(std::string::npos, mark.find("-hideupdate")) << mark;
}

TEST_F(MainThreadTest, StopKillsAMainThreadThatDoesNotEnd) {
  // The main thread waits on the open question and cannot see the stop.
  PutSiteFile("client/svparams.php.gethosts.reply", "VERSION\t419\n");
  std::string out = Probe("run 418 20000 answer=none -tnnetopendebugconsole" + Override());
  ExpectInOrder(out, {"QUESTION=", "--SVNet terminate main thread", "--SVNet main thread stopped", "Save Configs",
                      "--SVNet stopped", "STOPMS="});
  EXPECT_EQ(std::string::npos, out.find("--TovrinNet Run TovrinUpdate.exe")) << out;
}

TEST_F(MainThreadTest, StopKillsAJobWorkerThatDoesNotEnd) {
  // The probe holds the worker of a stalled download so that the disconnect
  // cannot end it: the stop waits its ten seconds and then kills the thread.
  PutServerFile("stuck/s.bin", Pattern(10000, 3));
  std::string out = Probe("stuck " + FaultHost("stall") + " stuck s.bin good=" + host_ + " -tnnetopendebugconsole");
  EXPECT_NE(std::string::npos, out.find("RUNNING=1\r\nPARTFILE=1\r\n")) << out;
  EXPECT_NE(std::string::npos, out.find("SUSPENDED=1\r\n")) << out;
  // The first stop ends its worker through the disconnect, the second one
  // has to kill it.
  size_t first = out.find("~Run #"), second = out.find("~Run #", first + 1);
  ASSERT_NE(std::string::npos, second) << out;
  const std::string h1 = out.substr(first + 6, 8), h2 = out.substr(second + 6, 8);
  ExpectInOrder(out, {"~~Disconnect #" + h1 + " [GET]\r\n", "FIRST=1\r\n", "~Run #" + h2,
                      "~~Terminate #" + h2 + " [GET]\r\n", "DONE=1\r\nSTATE=0\r\nPARTFILE=0\r\n"});
  EXPECT_EQ(std::string::npos, out.find("~~Disconnect #", second)) << out;
  // The same job handle works again afterwards.
  EXPECT_NE(std::string::npos, out.find("AGAIN=1:1:200")) << out;
  EXPECT_EQ(Pattern(10000, 3), ReadFileBytes(dir_ / "s.bin"));
}

TEST_F(MainThreadTest, JobsGoThroughTheStoredProxy) {
  PutServerFile("proxytest/p.bin", Pattern(5000, 7));
  PutServerFile("proxytest/q.php.reply", "through the proxy");
  const std::string port = host_.substr(host_.find(':') + 1);
  Probe("setproxy 127.0.0.1 " + port + " user pass");
  std::string out = Probe("fetch files.needauth.invalid proxytest p.bin");
  EXPECT_NE(std::string::npos, out.find("CORRECT=1\r\nCODE=200")) << out;
  EXPECT_EQ(Pattern(5000, 7), ReadFileBytes(dir_ / "p.bin"));
  auto seen = RequestsFor("\"target\": \"http://files.needauth.invalid/proxytest/p.bin\"");
  ASSERT_FALSE(seen.empty());
  EXPECT_NE(std::string::npos, seen.back().find("\"Proxy-Authorization\": \"Basic dXNlcjpwYXNz\"")) << seen.back();
  EXPECT_NE(std::string::npos, seen.back().find("; probe)")) << seen.back();  // the user agent of the job

  out = Probe("fetch scripts.needauth.invalid proxytest/q.php?act=go");
  EXPECT_NE(std::string::npos, out.find("CORRECT=1\r\nCODE=200\r\nREAD=through the proxy\r\n")) << out;
  seen = RequestsFor("\"target\": \"http://scripts.needauth.invalid/proxytest/q.php?act=go\"");
  ASSERT_FALSE(seen.empty());
  EXPECT_NE(std::string::npos, seen.back().find("\"svvn\": ")) << seen.back();  // the standard fields were posted

  // A wrong password: the proxy's refusal is the job's result.
  Probe("setproxy 127.0.0.1 " + port + " user wrong");
  out = Probe("fetch files.needauth.invalid proxytest p.bin");
  EXPECT_NE(std::string::npos, out.find("CORRECT=0\r\nCODE=407")) << out;
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
