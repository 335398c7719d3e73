// RegisterPlugin over the page-definition files of a program folder of its
// own: a copy of this test program loads the plugin there, as the shell does
// at every start.
#include <gtest/gtest.h>
#include <windows.h>

#include "ini_text.h"
#include "test_support.h"
#include "wide.h"

namespace {

const std::vector<std::string> kLibraries = {"SVBrowser.svx", "TovrinUtils.dll", "SolvikaUtils.dll"};

std::string Value(const sv::IniText& ini, const char* section, const char* key) {
  std::string value = "<missing>";
  ini.Find(section, key, &value);
  return value;
}

TEST(Registration, EveryPageFileBecomesAPluginSectionAndChangedValuesStay) {
  ScratchDir dir("svbreg");
  std::string exe = CopyTestProgram(dir.Path(), kLibraries);
  WriteFileBytes(dir / "News.svb",
                 sv::Ru(u8"[svb]\r\nName=Новости\r\nSection=Сервис\r\nTopic=Лента\r\nURL=http://h/news\r\n"));
  WriteFileBytes(dir / "Plain.svb", "[other]\r\nName=x\r\n");
  WriteFileBytes(dir / "Note.txt", "[svb]\r\nName=not a page\r\n");
  // The user renamed the news page; its address was lost.
  WriteFileBytes(dir / "Tovrin.ini", sv::Ru(u8"[*News]\r\nName=Мои новости\r\nURL=\r\nVersion=3\r\n"));

  for (int start = 0; start < 2; ++start) {
    ChildResult r = RunChild(exe, "--gtest_filter=RegistrationChild.*", dir.Path());
    ASSERT_EQ(0u, r.exitCode) << r.output;
    sv::IniText ini(ReadFileBytes(dir / "Tovrin.ini"));
    EXPECT_EQ("SVBrowser.svx", Value(ini, "*News", "Library"));
    EXPECT_EQ("111", Value(ini, "*News", "Version"));
    EXPECT_EQ(sv::Ru(u8"Мои новости"), Value(ini, "*News", "Name"));
    EXPECT_EQ(sv::Ru(u8"Сервис"), Value(ini, "*News", "Section"));
    EXPECT_EQ(sv::Ru(u8"Лента"), Value(ini, "*News", "Topic"));
    EXPECT_EQ("http://h/news", Value(ini, "*News", "URL"));

    EXPECT_EQ("SVBrowser.svx", Value(ini, "*Plain", "Library"));
    EXPECT_EQ("SVBrowser", Value(ini, "*Plain", "Name"));
    EXPECT_EQ("SVBrowser", Value(ini, "*Plain", "Topic"));
    EXPECT_EQ("", Value(ini, "*Plain", "Section"));
    EXPECT_EQ("http://www.solvika.invalid/", Value(ini, "*Plain", "URL"));
    EXPECT_EQ("<missing>", Value(ini, "*Note", "Library"));
  }
}

TEST(RegistrationChild, Register) {
  if (!InChild()) GTEST_SKIP();
  HMODULE plugin = LoadLibraryW(L"SVBrowser.svx");
  ASSERT_TRUE(plugin);
  auto registerPlugin = reinterpret_cast<void(__stdcall*)()>(GetProcAddress(plugin, "RegisterPlugin"));
  auto version = reinterpret_cast<int32_t(__stdcall*)()>(GetProcAddress(plugin, "GetModuleVersion"));
  ASSERT_TRUE(registerPlugin && version && GetProcAddress(plugin, "RunPlugin"));
  EXPECT_EQ(111, version());
  registerPlugin();
  FreeLibrary(plugin);
}

}  // namespace
