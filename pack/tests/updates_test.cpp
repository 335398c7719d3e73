// Update packages applied at start. SolvikaStart and ExtrUpdates work on the
// program folder (the folder of the host executable), so each case copies
// this test program with the libraries into a scratch program folder and runs
// one child test of it there.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "SolvikaPU.h"
#include "test_support.h"
#include "wide.h"

namespace {

const std::vector<std::string> kLibraries = {"SolvikaUtils.dll", "SolvikaPU.dll", "UnzDll.dll", "ZipDll.dll"};

bool Exists(const std::string& path) { return GetFileAttributesW(sv::Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

void MakeDir(const std::string& path) { CreateDirectoryW(sv::Wide(path).c_str(), nullptr); }

// A package made with ZipFiles from the given members; a member name ending
// in "\" becomes a folder.
void MakePackage(const std::string& path, const std::map<std::string, std::string>& members) {
  ScratchDir staging("stage");
  for (const auto& m : members) {
    if (m.first.back() == '\\')
      MakeDir(staging / m.first);
    else
      ASSERT_TRUE(WriteFileBytes(staging / m.first, m.second));
  }
  ASSERT_EQ(0, ZipFiles(path.c_str(), (staging.Path() + "*.*").c_str()));
}

// A scratch program folder with this test program and the libraries.
class ProgramFolder {
 public:
  ProgramFolder() : root_("prog") {
    dir_ = root_ / (sv::Ru(u8"Программа") + "\\");
    MakeDir(dir_);
    exe_ = CopyTestProgram(dir_, kLibraries);
  }
  const std::string& Dir() const { return dir_; }
  std::string operator/(const std::string& name) const { return dir_ + name; }
  std::string Above(const std::string& name) const { return root_ / name; }
  ChildResult Run(const std::string& test) { return RunChild(exe_, "--gtest_filter=" + test, dir_); }

 private:
  ScratchDir root_;
  std::string dir_, exe_;
};

std::string Ini(const std::string& file, const char* section, const char* key) {
  wchar_t buf[256];
  GetPrivateProfileStringW(sv::Wide(section).c_str(), sv::Wide(key).c_str(), L"", buf, 256, sv::Wide(file).c_str());
  return sv::Narrow(buf);
}

}  // namespace

// The whole start sequence: left-over working folder removed, ".uiu" before
// ".uip", delete lists of packages before their copy and those of the program
// folder last; failed packages stay for the next start.
TEST(SolvikaStart, AppliesPackagesInOrderAndKeepsFailures) {
  ProgramFolder prog;
  MakeDir(prog / "__temp");
  WriteFileBytes(prog / "__temp\\left.txt", "left over");
  WriteFileBytes(prog / "A.dll", "old A");
  SetFileAttributesW(sv::Wide(prog / "A.dll").c_str(), FILE_ATTRIBUTE_READONLY);
  WriteFileBytes(prog / "old.dll", "to be deleted");
  MakeDir(prog / "sub");
  WriteFileBytes(prog / "sub\\gone.txt", "to be deleted");
  WriteFileBytes(prog.Above("outside.txt"), "must stay");

  // General update with a delete list that also tries to leave the folder.
  MakePackage(prog / "a.uiu", {{"A.dll", "new A"},
                               {"remove.dlt", "old.dll\r\n..\\outside.txt\r\n\r\n" + prog.Above("outside.txt") +
                                                  "\nsub\\..\\..\\outside.txt\nsub\\gone.txt\n"},
                               {"order.txt", "uiu"}});
  // Own-folder update into plugins\extra, and one into the program folder.
  MakePackage(prog / "b.uip", {{"__params.", "[main]\r\nOutDir=plugins\\extra\r\n"}, {"P.svx", "plugin"}});
  MakePackage(prog / "c.uip", {{"order.txt", "uip"}, {"late.txt", "deleted by the folder's list"}});
  // Upper-case extension: a general package, "OutDir" not read, no record.
  MakePackage(prog / "X.UIP", {{"__params.", "[main]\r\nOutDir=notmade\r\n"}, {"x.txt", "x"}});
  // Failures that stay: not an archive, an entry leaving the folder, a
  // folder member, an OutDir leaving the folder.
  WriteFileBytes(prog / "bad.uiu", "not an archive");
  CopyFileW(sv::Wide(TestProgramFolder() + "pack_fixtures\\evil_dotdot.zip").c_str(),
            sv::Wide(prog / "slip.uiu").c_str(), FALSE);
  MakePackage(prog / "withdir.uiu", {{"d\\", ""}, {"e.txt", "e"}});
  MakePackage(prog / "escape.uip", {{"__params.", "[main]\r\nOutDir=..\\escaped\r\n"}, {"q.txt", "q"}});
  MakePackage(prog / "drive.uip", {{"__params.", "[main]\r\nOutDir=C:\\escaped\r\n"}, {"q.txt", "q"}});
  // The folder's own delete list, processed after every package.
  WriteFileBytes(prog / "z.dlt", "late.txt\r\n");

  ChildResult r = prog.Run("ChildStart.Run");
  ASSERT_EQ(0u, r.exitCode) << r.output;
  ASSERT_NE(std::string::npos, r.output.find("START DONE")) << r.output;

  EXPECT_FALSE(Exists(prog / "__temp"));
  EXPECT_EQ("new A", ReadFileBytes(prog / "A.dll"));
  EXPECT_FALSE(Exists(prog / "old.dll"));
  EXPECT_FALSE(Exists(prog / "sub\\gone.txt"));
  EXPECT_FALSE(Exists(prog / "remove.dlt"));
  EXPECT_EQ("must stay", ReadFileBytes(prog.Above("outside.txt")));
  EXPECT_EQ("plugin", ReadFileBytes(prog / "plugins\\extra\\P.svx"));
  EXPECT_FALSE(Exists(prog / "plugins\\extra\\__params."));
  EXPECT_EQ("uip", ReadFileBytes(prog / "order.txt"));  // ".uip" after ".uiu"
  EXPECT_FALSE(Exists(prog / "late.txt"));              // the folder's list came last
  EXPECT_FALSE(Exists(prog / "z.dlt"));
  EXPECT_EQ("x", ReadFileBytes(prog / "x.txt"));
  EXPECT_TRUE(Exists(prog / "__params."));  // copied like any member of a general package
  EXPECT_FALSE(Exists(prog / "notmade"));

  for (const char* gone : {"a.uiu", "b.uip", "c.uip", "X.UIP"}) EXPECT_FALSE(Exists(prog / gone)) << gone;
  for (const char* kept : {"bad.uiu", "slip.uiu", "withdir.uiu", "escape.uip", "drive.uip"})
    EXPECT_TRUE(Exists(prog / kept)) << kept;
  EXPECT_FALSE(Exists(prog.Above("escaped.txt")));
  EXPECT_FALSE(Exists(prog.Above("escaped")));
  EXPECT_FALSE(Exists("C:\\escaped"));
  EXPECT_FALSE(Exists(prog / "q.txt"));

  const std::string lc = prog / "SolvikaLC.ini";
  EXPECT_EQ("1", Ini(lc, "updates", "b.uip"));
  EXPECT_EQ("1", Ini(lc, "updates", "c.uip"));
  EXPECT_EQ("", Ini(lc, "updates", "X.UIP"));
  EXPECT_EQ("", Ini(lc, "updates", "escape.uip"));

  // The next start tries the failed packages again and they stay again.
  r = prog.Run("ChildStart.Run");
  ASSERT_EQ(0u, r.exitCode) << r.output;
  for (const char* kept : {"bad.uiu", "slip.uiu", "withdir.uiu", "escape.uip"})
    EXPECT_TRUE(Exists(prog / kept)) << kept;
  EXPECT_FALSE(Exists(prog / "__temp"));
}

// A package carrying "Update.exe" hands over: the updater is started with
// "__test" in the program folder and the starting process ends at once,
// leaving the working folder and the later packages alone.
TEST(SolvikaStart, UpdaterTakesOver) {
  ProgramFolder prog;
  std::string updater = ReadFileBytes(TestProgramFolder() + "pack_updater.exe");
  ASSERT_FALSE(updater.empty());
  MakePackage(prog / "u.uiu", {{"Update.exe", updater}, {"new.txt", "n"}});
  MakePackage(prog / "later.uip", {{"later.txt", "l"}});

  ChildResult r = prog.Run("ChildStart.Run");
  EXPECT_EQ(0u, r.exitCode) << r.output;
  EXPECT_EQ(std::string::npos, r.output.find("START DONE")) << r.output;
  std::string mark;
  for (int i = 0; i < 100 && mark.empty(); ++i, Sleep(50)) mark = ReadFileBytes(prog / "updater.txt");
  EXPECT_EQ("__test", mark);
  EXPECT_TRUE(Exists(prog / "__temp\\Update.exe"));
  EXPECT_TRUE(Exists(prog / "u.uiu"));
  EXPECT_TRUE(Exists(prog / "later.uip"));
  EXPECT_FALSE(Exists(prog / "new.txt"));
}

// ExtrUpdates on single packages, and a delete list of a package that cannot
// be read stopping that package.
TEST(ExtrUpdates, SinglePackages) {
  ProgramFolder prog;
  MakePackage(prog / "one.uiu", {{"f.txt", "f"}});
  MakePackage(prog / "two.uip", {{"__params.", "[main]\r\nOutDir=a\\\\b\\\r\n"}, {"g.txt", "g"}});
  ChildResult r = prog.Run("ChildExtr.Run");
  ASSERT_EQ(0u, r.exitCode) << r.output;
  EXPECT_NE(std::string::npos, r.output.find("one=1 two=1 missing=0")) << r.output;
  EXPECT_EQ("f", ReadFileBytes(prog / "f.txt"));
  EXPECT_EQ("g", ReadFileBytes(prog / "a\\b\\g.txt"));
  EXPECT_FALSE(Exists(prog / "one.uiu"));
  EXPECT_FALSE(Exists(prog / "__temp"));
}

TEST(ChildStart, Run) {
  if (!InChild()) GTEST_SKIP();
  SolvikaStart();
  printf("START DONE\n");
  fflush(stdout);
}

TEST(ChildExtr, Run) {
  if (!InChild()) GTEST_SKIP();
  std::string dir = TestProgramFolder();
  int one = ExtrUpdates((dir + "one.uiu").c_str());
  int two = ExtrUpdates((dir + "two.uip").c_str());
  int missing = ExtrUpdates((dir + "missing.uiu").c_str());
  printf("one=%d two=%d missing=%d\n", one, two, missing);
  fflush(stdout);
}
