// The compatibility libraries as an old caller sees them: loaded by name,
// entry points looked up by their old names.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "net_test_support.h"
#include "svstring.h"
#include "test_support.h"

namespace {

constexpr int32_t kCompatVersion = 65501;

struct Forward {
  const char* old_library;
  const char* old_name;
  const char* target_library;
  const char* target_name;
};

// The old generation's names and the current exports they stand for.
const Forward kForwards[] = {
    {"TovrinNet.dll", "CreateHttpQuery", "SolvikaNet.dll", "SVNetCreate"},
    {"TovrinNet.dll", "CreateHttpSize", "SolvikaNet.dll", "SVNetCreate"},
    {"TovrinNet.dll", "CreateDownload", "SolvikaNet.dll", "SVNetCreate"},
    {"TovrinNet.dll", "CreateUpload", "SolvikaNet.dll", "SVNetCreate"},
    {"TovrinNet.dll", "DeleteHttpQuery", "SolvikaNet.dll", "SVNetDestroy"},
    {"TovrinNet.dll", "DeleteHttpSize", "SolvikaNet.dll", "SVNetDestroy"},
    {"TovrinNet.dll", "DeleteDownload", "SolvikaNet.dll", "SVNetDestroy"},
    {"TovrinNet.dll", "DeleteUpload", "SolvikaNet.dll", "SVNetDestroy"},
    {"TovrinNet.dll", "SetHttpQueryProp", "SolvikaNet.dll", "SVNetInit"},
    {"TovrinNet.dll", "SetHttpSizeProp", "SolvikaNet.dll", "SVNetInit"},
    {"TovrinNet.dll", "SetDownloadProp", "SolvikaNet.dll", "SVNetInit"},
    {"TovrinNet.dll", "SetUploadProp", "SolvikaNet.dll", "SVNetInitUpload"},
    {"TovrinNet.dll", "SetHttpQueryHost", "SolvikaNet.dll", "SVNetSetHost"},
    {"TovrinNet.dll", "SetHttpSizeHost", "SolvikaNet.dll", "SVNetSetHost"},
    {"TovrinNet.dll", "SetDownloadHost", "SolvikaNet.dll", "SVNetSetHost"},
    {"TovrinNet.dll", "SetUploadHost", "SolvikaNet.dll", "SVNetSetHost"},
    {"TovrinNet.dll", "SetDownloadAutoExtr", "SolvikaNet.dll", "SVNetSetAutoExtr"},
    {"TovrinNet.dll", "RunHttpQuery", "SolvikaNet.dll", "SVNetRunQuery"},
    {"TovrinNet.dll", "RunPostHttpQuery", "SolvikaNet.dll", "SVNetRunPostQuery"},
    {"TovrinNet.dll", "RunHttpSize", "SolvikaNet.dll", "SVNetRunSizeQuery"},
    {"TovrinNet.dll", "RunDownload", "SolvikaNet.dll", "SVNetRunDownload"},
    {"TovrinNet.dll", "RunUpload", "SolvikaNet.dll", "SVNetRunUpload"},
    {"TovrinNet.dll", "isHttpQueryDone", "SolvikaNet.dll", "SVNetIsDone"},
    {"TovrinNet.dll", "isHttpSizeDone", "SolvikaNet.dll", "SVNetIsDone"},
    {"TovrinNet.dll", "isDownloadDone", "SolvikaNet.dll", "SVNetIsDone"},
    {"TovrinNet.dll", "isUploadDone", "SolvikaNet.dll", "SVNetIsDone"},
    {"TovrinNet.dll", "isHttpQueryCorrect", "SolvikaNet.dll", "SVNetIsCorrect"},
    {"TovrinNet.dll", "isHttpSizeCorrect", "SolvikaNet.dll", "SVNetIsCorrect"},
    {"TovrinNet.dll", "isDownloadCorrect", "SolvikaNet.dll", "SVNetIsCorrect"},
    {"TovrinNet.dll", "isUploadCorrect", "SolvikaNet.dll", "SVNetIsCorrect"},
    {"TovrinNet.dll", "GetHttpQueryResult", "SolvikaNet.dll", "SVNetGetReadStr"},
    {"TovrinNet.dll", "GetUploadResult", "SolvikaNet.dll", "SVNetGetReadStr"},
    {"TovrinNet.dll", "GetHttpSizeResult", "SolvikaNet.dll", "SVNetGetReadLengt"},
    {"TovrinNet.dll", "GetDownloadResult", "SolvikaNet.dll", "SVNetGetReadLengt"},
    {"TovrinNet.dll", "GetUploadWorkRes", "SolvikaNet.dll", "SVNetGetWriteLength"},
    {"TovrinNet.dll", "GetHttpQueryPath", "SolvikaNet.dll", "SVNetGetPath"},
    {"TovrinNet.dll", "TovrinNetStart", "SolvikaNet.dll", "SolvikaNetStart"},
    {"TovrinNet.dll", "TovrinNetStop", "SolvikaNet.dll", "SolvikaNetStop"},
    {"TovrinNet.dll", "GetMainScriptPath", "SolvikaNet.dll", "GetMainScriptPath"},
    {"TovrinNet.dll", "GetRunStr", "SolvikaNet.dll", "GetRunStr"},
    {"TovrinNet.dll", "GetScriptHosts", "SolvikaNet.dll", "GetScriptHosts"},
    {"TovrinNet.dll", "GetSourceHosts", "SolvikaNet.dll", "GetSourceHosts"},
    {"TovrinNet.dll", "GetProxyParam", "SolvikaNet.dll", "GetProxyParam"},
    {"TovrinNet.dll", "SetProxyParam", "SolvikaNet.dll", "SetProxyParam"},
    {"TovrinPU.dll", "ExtrUpdates", "SolvikaPU.dll", "ExtrUpdates"},
    {"TovrinPU.dll", "TovrinStart", "SolvikaPU.dll", "SolvikaStart"},
    {"TovrinMain.dll", "InputPassword", "SolvikaMain.dll", "InputPassword"},
    {"TovrinMain.dll", "MsgBoxError", "SolvikaMain.dll", "MsgBoxError"},
    {"TovrinMain.dll", "ShowPopup", "SolvikaMain.dll", "ShowPopup"},
};

// Names that keep their name and move to the utility library.
const char* const kNetUtilityNames[] = {"DebugWrite",    "GetCurrDir",      "GetTempDir",    "GetSysDir",
                                        "GetProgVersion", "GetProgVersionStr", "GetProgramId", "GetIniInt",
                                        "GetIniString",  "GetIniSectNames", "SetIniInt",     "SetIniString",
                                        "_ParceHosts",   "_ParceTab"};
const char* const kUtilsNames[] = {
    "DebugCSEnter",   "DebugCSLeave",      "DebugWrite",   "DeleteIniValue",  "GetApplHandle", "GetCurrDir",
    "GetIniInt",      "GetIniSectNames",   "GetIniString", "GetMSIEVersion",  "GetProgVersion", "GetProgVersionStr",
    "GetProgramId",   "GetProgramNum",     "GetSysDir",    "GetTempDir",      "GetWindowsVersion", "HTTP2Str",
    "MD5",            "SetApplParam",      "SetIniInt",    "SetIniString",    "SetProgramId",  "SetProgramNum",
    "Str2HTTP",       "_ParceHosts",       "_ParceTab"};

FARPROC Entry(const char* library, const char* name) {
  HMODULE module = LoadLibraryA(library);
  return module ? GetProcAddress(module, name) : nullptr;
}

std::vector<Forward> AllForwards() {
  std::vector<Forward> all(std::begin(kForwards), std::end(kForwards));
  for (const char* name : kNetUtilityNames) all.push_back({"TovrinNet.dll", name, "SolvikaUtils.dll", name});
  for (const char* name : kUtilsNames) all.push_back({"TovrinUtils.dll", name, "SolvikaUtils.dll", name});
  return all;
}

TEST(Compat, EveryLibraryReportsTheForwardingVersion) {
  for (const char* library : {"TovrinNet.dll", "TovrinUtils.dll", "TovrinPU.dll", "TovrinMain.dll"}) {
    auto version = (int32_t(__stdcall*)())Entry(library, "GetModuleVersion");
    ASSERT_NE(nullptr, version) << library;
    EXPECT_EQ(kCompatVersion, version()) << library;
  }
}

TEST(Compat, EveryOldNameResolvesToItsTargetExport) {
  for (const Forward& f : AllForwards()) {
    FARPROC old_entry = Entry(f.old_library, f.old_name);
    FARPROC target = Entry(f.target_library, f.target_name);
    ASSERT_NE(nullptr, target) << f.target_library << " " << f.target_name;
    EXPECT_EQ((void*)target, (void*)old_entry) << f.old_library << " " << f.old_name;
  }
}

TEST(Compat, ForwardedCallsReturnTheTargetsResults) {
  auto str2http = (SvStr(__stdcall*)(SvStr))Entry("TovrinUtils.dll", "Str2HTTP");
  ASSERT_NE(nullptr, str2http);
  sv::OwnedStr bytes("\x01\xff" "A");
  EXPECT_EQ("01ff41", sv::Take(str2http(bytes)));

  auto extract = (SvBool(__stdcall*)(const char*))Entry("TovrinPU.dll", "ExtrUpdates");
  ASSERT_NE(nullptr, extract);
  EXPECT_EQ(0, extract("C:\\no such folder\\none.uiu"));

  // Before the shell has started there is no popup window: the notice is
  // dropped and the call returns.
  auto popup = (void(__stdcall*)(const char*, const char*, const char*))Entry("TovrinMain.dll", "ShowPopup");
  ASSERT_NE(nullptr, popup);
  popup("text", "title", "");
}

// An old caller measures files with a size job and reads the sum of their
// announced lengths from GetHttpSizeResult.
TEST(Compat, OldSizeJobReportsTheSumOfTheFileLengths) {
  REQUIRE_SERVER();
  nettest::PutServerFile("compat/a", std::string(100, 'a'));
  nettest::PutServerFile("compat/b", std::string(200, 'b'));
  nettest::PutServerFile("compat/c", std::string(300, 'c'));
  const char* net = "TovrinNet.dll";
  auto create = (int32_t(__stdcall*)(void**))Entry(net, "CreateHttpSize");
  auto prop = (void(__stdcall*)(void**, int32_t, const char*))Entry(net, "SetHttpSizeProp");
  auto host = (void(__stdcall*)(void**, const char*))Entry(net, "SetHttpSizeHost");
  auto run = (void(__stdcall*)(void**, const char*, const char*))Entry(net, "RunHttpSize");
  auto done = (SvBool(__stdcall*)(void**))Entry(net, "isHttpSizeDone");
  auto correct = (SvBool(__stdcall*)(void**))Entry(net, "isHttpSizeCorrect");
  auto result = (int32_t(__stdcall*)(void**))Entry(net, "GetHttpSizeResult");
  auto destroy = (void(__stdcall*)(void**))Entry(net, "DeleteHttpSize");
  ASSERT_TRUE(create && prop && host && run && done && correct && result && destroy);

  void* job = nullptr;
  create(&job);
  prop(&job, 10000, "compat");
  host(&job, nettest::ServerHost().c_str());
  run(&job, "compat", "a/b/c");
  for (int i = 0; i < 200 && !done(&job); ++i) Sleep(100);
  ASSERT_TRUE(done(&job));
  EXPECT_TRUE(correct(&job));
  EXPECT_EQ(600, result(&job));
  destroy(&job);
}

}  // namespace
