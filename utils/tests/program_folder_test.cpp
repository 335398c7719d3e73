// Behaviour fixed when the library loads: the program folder with its
// "Tovrin.ini", the client identity kept between runs, the Internet Explorer
// version and the debug console switch. Each case runs a copy of this test
// program in a scratch program folder (see RunChild).
#include <gtest/gtest.h>
#include <shlwapi.h>

#include <regex>

#include "SolvikaUtils.h"
#include "test_support.h"
#include "wide.h"

namespace {

const wchar_t kIEKey[] = L"Software\\Microsoft\\Internet Explorer";

std::string Child(const std::string& exe, const std::string& folder, const std::string& test,
                  const std::string& extra = "") {
  ChildResult r = RunChild(exe, "--gtest_filter=" + test + " " + extra, folder);
  EXPECT_EQ(0u, r.exitCode) << r.output;
  return r.output;
}

std::string Get(void(SVAPI* fn)(SvStr*)) { return sv::TakeOut([&](SvStr* out) { fn(out); }); }

}  // namespace

TEST(ProgramFolder, SettingsAndIdentityAcrossRuns) {
  ScratchDir dir("prog");
  std::string folder = dir / (sv::Ru(u8"Программа") + "\\");
  CreateDirectoryW(sv::Wide(folder).c_str(), nullptr);
  std::string exe = CopyTestProgram(folder, {"SolvikaUtils.dll"});
  std::string ini = folder + "Tovrin.ini";
  WriteFileBytes(ini, "[Solvika]\r\nIEDefBrowser=0\r\n");
  SetFileAttributesW(sv::Wide(ini).c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);

  wchar_t saved[256] = L"";
  DWORD size = sizeof(saved);
  bool hadVersion = SHGetValueW(HKEY_LOCAL_MACHINE, kIEKey, L"Version", nullptr, saved, &size) == ERROR_SUCCESS;
  const wchar_t version[] = L"7.0.5730.11";
  SHSetValueW(HKEY_LOCAL_MACHINE, kIEKey, L"Version", REG_SZ, version, sizeof(version));

  Child(exe, folder, "ChildProgram.FirstRun");

  if (hadVersion)
    SHSetValueW(HKEY_LOCAL_MACHINE, kIEKey, L"Version", REG_SZ, saved, (DWORD)((wcslen(saved) + 1) * 2));
  else
    SHDeleteValueW(HKEY_LOCAL_MACHINE, kIEKey, L"Version");

  EXPECT_EQ(sv::Ru(u8"[Solvika]\r\nIEDefBrowser=1\r\n\r\n[Раздел]\r\nЧисло=-5\r\n"), ReadFileBytes(ini));
  EXPECT_EQ("[Client]\r\nId=abc\r\nNum=17\r\n", ReadFileBytes(folder + "SolvikaLC.ini"));
  Child(exe, folder, "ChildProgram.SecondRun");
}

TEST(ChildProgram, FirstRun) {
  if (!InChild()) GTEST_SKIP();
  std::string folder = TestProgramFolder();
  EXPECT_EQ(folder, Get(GetCurrDir));
  wchar_t cwd[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, cwd);
  EXPECT_EQ(folder, sv::Narrow(cwd) + "\\") << "the program folder is the current directory";

  // "Tovrin.ini" was made writable at load and its browser choice read.
  EXPECT_EQ((DWORD)FILE_ATTRIBUTE_ARCHIVE, GetFileAttributesW(sv::Wide(folder + "Tovrin.ini").c_str()));
  EXPECT_FALSE(SVGetWWWDefIEBrowser());
  SVSetWWWDefIEBrowser(1);
  EXPECT_TRUE(SVGetWWWDefIEBrowser());

  EXPECT_EQ("7.0", Get(GetMSIEVersion));

  EXPECT_EQ(3, GetIniInt("Missing", "Key", 3));
  SetIniInt(sv::Ru(u8"Раздел").c_str(), sv::Ru(u8"Число").c_str(), -5);
  SetIniString("Temp", "Key", "v");
  EXPECT_EQ("v", sv::TakeOut([](SvStr* out) { GetIniString(out, "temp", "KEY", "d"); }));
  EXPECT_EQ(sv::Ru(u8"Solvika/Раздел/Temp"), Get(GetIniSectNames));
  DeleteIniValue("Temp", "");
  EXPECT_EQ(-5, GetIniInt(sv::Ru(u8"раздел").c_str(), sv::Ru(u8"ЧИСЛО").c_str(), 0));

  EXPECT_EQ("", Get(GetProgramId));
  EXPECT_EQ("none", Get(GetProgramNum));
  SetProgramId("abc");
  SetProgramNum("17");
  EXPECT_EQ("abc", Get(GetProgramId));
  EXPECT_EQ("17", Get(GetProgramNum));
}

TEST(ChildProgram, SecondRun) {
  if (!InChild()) GTEST_SKIP();
  EXPECT_EQ("abc", Get(GetProgramId));
  EXPECT_EQ("17", Get(GetProgramNum));
  EXPECT_TRUE(SVGetWWWDefIEBrowser());
}

TEST(DebugConsole, LinesOnlyWithTheSwitch) {
  ScratchDir dir("dbg");
  std::string exe = CopyTestProgram(dir.Path(), {"SolvikaUtils.dll"});

  std::string quiet = Child(exe, dir.Path(), "ChildDebug.WriteLines");
  EXPECT_EQ(std::string::npos, quiet.find("first line")) << quiet;
  EXPECT_EQ(std::string::npos, quiet.find("EXIT...")) << quiet;

  std::string out = Child(exe, dir.Path(), "ChildDebug.WriteLines", "-tnnetopendebugconsole");
  // The Russian word goes out in the console's OEM code page.
  std::wstring russian = L"Привет";
  char oem[32] = {0};
  WideCharToMultiByte(CP_OEMCP, 0, russian.c_str(), -1, oem, sizeof(oem), nullptr, nullptr);
  std::regex line(R"(\[[ 12]\d:[ 1-5]\d:[ 1-5]\d\]    first line )" + std::string(oem) + "\r\n");
  EXPECT_TRUE(std::regex_search(out, line)) << out;
  std::regex nested(R"(\]    nested 1\r\n\[[ \d]\d:[ \d]\d:[ \d]\d\]    nested 2\r\n)");
  EXPECT_TRUE(std::regex_search(out, nested)) << out;
  EXPECT_NE(std::string::npos, out.find("EXIT...\r\n")) << out;
  EXPECT_EQ(std::string::npos, out.find("[0")) << "fields are padded with blanks, not zeros";
}

TEST(ChildDebug, WriteLines) {
  if (!InChild()) GTEST_SKIP();
  DebugWrite(("first line " + sv::Ru(u8"Привет")).c_str());
  DebugCSEnter();
  DebugCSEnter();  // the lock may be taken again by its holder
  DebugWrite("nested 1");
  DebugWrite("nested 2");
  DebugCSLeave();
  DebugCSLeave();
  fflush(stdout);
}
