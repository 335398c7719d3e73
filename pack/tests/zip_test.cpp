// Archives through the zip engine: Info-ZIP archives unpacked, our archives
// read back (and by Info-ZIP, see check_infozip.sh), masks, damaged and
// hostile archives, concurrent unpacking.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "SolvikaPU.h"
#include "test_support.h"
#include "file_io.h"
#include "wide.h"

namespace {

std::string Fixture(const std::string& name) { return TestProgramFolder() + "pack_fixtures\\" + name; }
std::string Src(const std::string& name) { return Fixture("src\\" + name); }

bool Exists(const std::string& path) { return GetFileAttributesW(sv::Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES; }
bool IsFolder(const std::string& path) {
  DWORD a = GetFileAttributesW(sv::Wide(path).c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::string List(const std::string& archive, const std::string& mask) {
  return sv::TakeOut([&](SvStr* out) { SVZipFilesList(out, archive.c_str(), mask.c_str()); });
}

int CountChildren(const std::string& folder) { return (int)sv::FindEntries(folder + "*").size(); }

}  // namespace

TEST(UnZipFiles, InfoZipArchiveAllEntriesWithFolders) {
  ScratchDir dir("unz");
  std::string target = dir.Path() + "out";  // no trailing "\", created by the move
  CreateDirectoryW(sv::Wide(target).c_str(), nullptr);
  ASSERT_EQ(0, UnZipFiles(Fixture("infozip.zip").c_str(), target.c_str(), "*.*"));
  target += "\\";
  for (const char* f : {"a.txt", "B.TXT", "sub\\b.bin", "sub\\deeper\\c.txt", "empty.txt", "stored.txt"})
    EXPECT_EQ(ReadFileBytes(Src(f)), ReadFileBytes(target + f)) << f;
  EXPECT_TRUE(IsFolder(target + "emptydir"));
  EXPECT_EQ(0, CountChildren(TestProgramFolder() + "SVData\\SVUNZ\\"));  // scratch left empty
}

TEST(UnZipFiles, MaskListsAndStreamedEntries) {
  ScratchDir dir("unz");
  ASSERT_EQ(0, UnZipFiles(Fixture("infozip.zip").c_str(), dir.Path().c_str(), "*.TXT\tsub/deeper/*"));
  EXPECT_TRUE(Exists(dir / "B.TXT"));
  EXPECT_FALSE(Exists(dir / "a.txt"));
  EXPECT_TRUE(Exists(dir / "sub\\deeper\\c.txt"));
  EXPECT_FALSE(Exists(dir / "sub\\b.bin"));

  ScratchDir none("unz");
  EXPECT_EQ(0, UnZipFiles(Fixture("infozip.zip").c_str(), none.Path().c_str(), ""));
  EXPECT_EQ(0, CountChildren(none.Path()));

  ScratchDir streamed("unz");
  ASSERT_EQ(0, UnZipFiles(Fixture("streamed.zip").c_str(), streamed.Path().c_str(), "*"));
  EXPECT_EQ(ReadFileBytes(Src("sub\\deeper\\c.txt")), ReadFileBytes(streamed / "sub\\deeper\\c.txt"));
  EXPECT_EQ(ReadFileBytes(Src("a.txt")), ReadFileBytes(streamed / "a.txt"));
}

TEST(UnZipFiles, UnreadableArchivesGiveThreeAndWriteNothing) {
  for (const char* name : {"truncated.zip", "notzip.zip", "missing.zip", "crc.zip"}) {
    ScratchDir dir("unz");
    EXPECT_EQ(3, UnZipFiles(Fixture(name).c_str(), dir.Path().c_str(), "*.*")) << name;
    EXPECT_EQ(0, CountChildren(dir.Path())) << name;
  }
  ScratchDir dir("unz");
  EXPECT_EQ(0, UnZipFiles(Fixture("empty.zip").c_str(), dir.Path().c_str(), "*.*"));
  EXPECT_EQ(0, ZipTest(Fixture("infozip.zip").c_str(), "*.*\tsub/b.bin"));
  EXPECT_EQ(6, ZipTest(Fixture("infozip.zip").c_str(), "a.txt\tnothere.txt"));
  EXPECT_EQ(3, ZipTest(Fixture("crc.zip").c_str(), "*.*"));
  EXPECT_EQ(3, ZipTest(Fixture("truncated.zip").c_str(), "*.*"));
}

// Names that would leave the target folder make the whole archive fail
// before anything is written, also in the folder above the target.
TEST(UnZipFiles, EntriesLeavingTheTargetAreRefused) {
  for (const char* tag : {"dotdot", "inner", "absolute", "backslash", "drive", "winsep"}) {
    ScratchDir dir("evil");
    std::string target = dir / "a\\b\\";
    CreateDirectoryW(sv::Wide(dir / "a").c_str(), nullptr);
    CreateDirectoryW(sv::Wide(target).c_str(), nullptr);
    std::string archive = Fixture(std::string("evil_") + tag + ".zip");
    EXPECT_EQ(3, UnZipFiles(archive.c_str(), target.c_str(), "*.*")) << tag;
    EXPECT_EQ(0, CountChildren(target)) << tag;
    EXPECT_EQ(1, CountChildren(dir / "a\\")) << tag;
    EXPECT_FALSE(Exists(dir / "escaped.txt")) << tag;
    EXPECT_FALSE(Exists("C:\\escaped.txt")) << tag;
    // The engine refuses directly as well, whatever the mask.
    void* h = nullptr;
    ASSERT_TRUE(SVUnzCreate(&h));
    EXPECT_FALSE(SVUnzExstract(h, archive.c_str(), target.c_str(), "good.txt"));
    EXPECT_FALSE(SVisZipUnzCorrect(h));
    EXPECT_LT(SVZipUnzResult(h), 0);
    SVUnzDestroy(&h);
    EXPECT_EQ(nullptr, h);
    EXPECT_EQ(0, CountChildren(target)) << tag;
  }
}

TEST(DirectRead, ListAndExists) {
  std::string a = Fixture("infozip.zip");
  EXPECT_EQ("B.TXT\t", List(a, "*.TXT"));
  EXPECT_EQ("a.txt\t", List(a, "?.txt"));
  EXPECT_EQ("a.txt\tB.TXT\tsub/\tsub/b.bin\tsub/deeper/\tsub/deeper/c.txt\temptydir/\tempty.txt\tstored.txt\t",
            List(a, ""));
  EXPECT_EQ(List(a, ""), List(a, "*.*"));
  EXPECT_EQ("sub/b.bin\t", List(a, "sub/?.bin"));
  EXPECT_EQ("", List(Fixture("missing.zip"), "*"));
  EXPECT_EQ("", List(Fixture("notzip.zip"), "*"));
  EXPECT_EQ("", List(Fixture("empty.zip"), "*"));
  EXPECT_EQ(0, FileExistsInZip(a.c_str(), "sub/deeper/c.txt"));
  EXPECT_EQ(0, FileExistsInZip(a.c_str(), "*.bin"));
  EXPECT_EQ(6, FileExistsInZip(a.c_str(), "A.txt"));
  EXPECT_EQ(3, FileExistsInZip(Fixture("missing.zip").c_str(), "a.txt"));
  EXPECT_EQ(6, FileExistsInZip(Fixture("empty.zip").c_str(), "*"));
}

// Writes pack_interop\ours.zip for check_infozip.sh and reads it back.
TEST(ZipFiles, CreateAddReplaceDeleteAndReadBack) {
  std::string dir = TestProgramFolder() + "pack_interop\\";
  CreateDirectoryW(sv::Wide(dir).c_str(), nullptr);
  std::string archive = dir + "ours.zip";
  DeleteFileW(sv::Wide(archive).c_str());
  std::string big;
  for (int i = 0; i < 400000; ++i) big += (char)("abcdefgh"[i % 8] + (i % 1000 == 0));
  ASSERT_TRUE(WriteFileBytes(dir + "one.txt", "first version"));
  ASSERT_TRUE(WriteFileBytes(dir + "big.bin", big));
  ASSERT_TRUE(WriteFileBytes(dir + "gone.txt", "to be deleted"));

  ASSERT_EQ(0, ZipFiles(archive.c_str(), (dir + "one.txt\t" + dir + "*.bin").c_str()));
  EXPECT_EQ("one.txt\tbig.bin\t", List(archive, "*"));
  EXPECT_LT(ReadFileBytes(archive).size(), big.size() / 20);  // deflated
  ASSERT_TRUE(WriteFileBytes(dir + "one.txt", "second version"));
  ASSERT_EQ(0, ZipFiles(archive.c_str(), (dir + "one.txt\t" + dir + "gone.txt").c_str()));
  EXPECT_EQ("big.bin\tone.txt\tgone.txt\t", List(archive, "*"));
  // A file that is not an archive is neither added to nor replaced.
  std::string notZip = ReadFileBytes(Fixture("notzip.zip"));
  ASSERT_TRUE(WriteFileBytes(dir + "notzip.zip", notZip));
  EXPECT_EQ(4, ZipFiles((dir + "notzip.zip").c_str(), (dir + "one.txt").c_str()));
  EXPECT_EQ(notZip, ReadFileBytes(dir + "notzip.zip"));
  EXPECT_EQ(0, ZipDelete(archive.c_str(), "gone.txt\tnothere.txt"));
  EXPECT_EQ("big.bin\tone.txt\t", List(archive, "*"));
  EXPECT_EQ(4, ZipDelete((dir + "missing.zip").c_str(), "x"));

  ScratchDir out("rb");
  ASSERT_EQ(0, UnZipFiles(archive.c_str(), out.Path().c_str(), "*.*"));
  EXPECT_EQ("second version", ReadFileBytes(out / "one.txt"));
  EXPECT_EQ(big, ReadFileBytes(out / "big.bin"));
  EXPECT_EQ(0, ZipTest(archive.c_str(), "*"));
}

TEST(UnZipFiles, ThreadsNeverShareTheScratchFolder) {
  std::vector<std::thread> threads;
  std::vector<int> results(4, -1);
  std::vector<std::unique_ptr<ScratchDir>> dirs;
  for (int i = 0; i < 4; ++i) dirs.emplace_back(new ScratchDir("mt"));
  for (int i = 0; i < 4; ++i) {
    threads.emplace_back([&, i] {
      const char* archive = i % 2 ? "streamed.zip" : "infozip.zip";
      for (int round = 0; round < 3 && results[i] <= 0; ++round)
        results[i] = UnZipFiles(Fixture(archive).c_str(), dirs[i]->Path().c_str(), "*.*");
    });
  }
  for (auto& t : threads) t.join();
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(0, results[i]);
    // Each target holds exactly its own archive's entries.
    EXPECT_EQ(i % 2 ? 2 : 6, CountChildren(dirs[i]->Path())) << i;
    EXPECT_EQ(ReadFileBytes(Src("sub\\deeper\\c.txt")), ReadFileBytes(*dirs[i] / "sub\\deeper\\c.txt"));
  }
}

// Without the engine in the program folder: codes 1 and 2, empty handles.
TEST(MissingEngine, CodesOneAndTwo) {
  ScratchDir dir("noeng");
  std::string exe = CopyTestProgram(dir.Path(), {"SolvikaPU.dll", "SolvikaUtils.dll"});
  ChildResult r = RunChild(exe, "--gtest_filter=MissingEngineChild.*", dir.Path());
  EXPECT_EQ(0u, r.exitCode) << r.output;
}

TEST(MissingEngineChild, Results) {
  if (!InChild()) GTEST_SKIP();
  void* h = (void*)1;
  EXPECT_FALSE(SVUnzCreate(&h));
  EXPECT_EQ(nullptr, h);
  EXPECT_FALSE(SVZipCreate(&h));
  EXPECT_EQ(nullptr, h);
  EXPECT_EQ(1, UnZipFiles("x.zip", "out", "*.*"));
  // The early return leaves no scratch folder of its own behind.
  EXPECT_EQ(0, CountChildren(TestProgramFolder() + "SVData\\SVUNZ\\"));
  EXPECT_EQ(1, ZipTest("x.zip", "*.*"));
  EXPECT_EQ(2, ZipFiles("x.zip", "a.txt"));
  EXPECT_EQ(2, ZipDelete("x.zip", "a.txt"));
  EXPECT_EQ(0, GetUnzDllVersion());
  EXPECT_EQ(0, SVZipUnzResult(nullptr));
  EXPECT_FALSE(SVisZipUnzCorrect(nullptr));
}

// Windows-1251 names survive the round trip: listed as the same bytes and
// unpacked under the same name.
TEST(ZipFiles, CyrillicNames) {
  ScratchDir dir("ru");
  std::string name = sv::Ru(u8"Отчёт за год.txt");
  std::string archive = dir / sv::Ru(u8"Архив.zip");
  ASSERT_TRUE(WriteFileBytes(dir / name, "report"));
  ASSERT_EQ(0, ZipFiles(archive.c_str(), (dir / name).c_str()));
  EXPECT_EQ(name + "\t", List(archive, "*"));
  EXPECT_EQ(0, FileExistsInZip(archive.c_str(), name.c_str()));
  ScratchDir out("ru");
  ASSERT_EQ(0, UnZipFiles(archive.c_str(), out.Path().c_str(), name.c_str()));
  EXPECT_EQ("report", ReadFileBytes(out / name));
}

namespace {

// A process started suspended (it never runs) and ended with the object.
class SuspendedProcess {
 public:
  explicit SuspendedProcess(const std::string& exe) {
    STARTUPINFOW si;
    memset(&si, 0, sizeof si);
    si.cb = sizeof si;
    memset(&pi_, 0, sizeof pi_);
    std::wstring command = L"\"" + sv::Wide(exe) + L"\"";
    started_ = CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr,
                              &si, &pi_) != 0;
  }
  ~SuspendedProcess() {
    if (!started_) return;
    TerminateProcess(pi_.hProcess, 0);
    WaitForSingleObject(pi_.hProcess, INFINITE);
    CloseHandle(pi_.hThread);
    CloseHandle(pi_.hProcess);
  }
  bool Started() const { return started_; }
  std::string Pid() const { return std::to_string(pi_.dwProcessId); }

 private:
  PROCESS_INFORMATION pi_;
  bool started_ = false;
};

std::string SystemProgram(const char* name) {
  wchar_t buf[MAX_PATH];
  UINT n = GetSystemDirectoryW(buf, MAX_PATH);
  return sv::Narrow(std::wstring(buf, n)) + "\\" + name;
}

}  // namespace

// Scratch folders of ended processes (and anything else loose in the scratch
// root) go before the next unpack; folders of running processes of this
// program folder stay. Run in a program folder of its own, so no other test
// process shares the scratch root.
TEST(UnZipFiles, LeftoversOfEndedProcessesAreRemoved) {
  ScratchDir dir("stale");
  std::string exe = CopyTestProgram(dir.Path(), {"SolvikaPU.dll", "SolvikaUtils.dll", "UnzDll.dll", "ZipDll.dll"});
  ChildResult r = RunChild(exe, "--gtest_filter=UnZipFilesChild.*", dir.Path());
  EXPECT_EQ(0u, r.exitCode) << r.output;
}

TEST(UnZipFilesChild, StaleScratchRemoved) {
  if (!InChild()) GTEST_SKIP();
  const std::string program = TestProgramFolder();
  const std::string root = program + "SVData\\SVUNZ\\";
  ASSERT_TRUE(CreateDirectoryW(sv::Wide(program + "SVData").c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryW(sv::Wide(root).c_str(), nullptr));

  // A running process of this program folder (this test program again) and
  // one of another program that happens to have a pid in use.
  SuspendedProcess ours(program + "pack_test.exe");
  SuspendedProcess other(SystemProgram("cmd.exe"));
  ASSERT_TRUE(ours.Started());
  ASSERT_TRUE(other.Started());

  // An ended process: started and waited for.
  std::string endedPid;
  {
    SuspendedProcess ended(SystemProgram("cmd.exe"));
    ASSERT_TRUE(ended.Started());
    endedPid = ended.Pid();
  }
  for (const std::string& name : {ours.Pid(), other.Pid(), endedPid, std::string("123abc"),
                                  std::string("99999999999")}) {
    ASSERT_TRUE(CreateDirectoryW(sv::Wide(root + name).c_str(), nullptr)) << name;
    ASSERT_TRUE(WriteFileBytes(root + name + "\\left.txt", "left over"));
  }
  ASSERT_TRUE(CreateDirectoryW(sv::Wide(root + endedPid + "\\deeper").c_str(), nullptr));
  ASSERT_TRUE(WriteFileBytes(root + endedPid + "\\deeper\\more.txt", "more"));
  SetFileAttributesW(sv::Wide(root + endedPid + "\\deeper\\more.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  ASSERT_TRUE(WriteFileBytes(root + "loose.bin", "loose"));

  ASSERT_TRUE(WriteFileBytes(program + "a.txt", "content"));
  const std::string archive = program + "a.zip";
  ASSERT_EQ(0, ZipFiles(archive.c_str(), (program + "a.txt").c_str()));
  const std::string out = program + "out\\";
  ASSERT_EQ(0, UnZipFiles(archive.c_str(), out.c_str(), "*.*"));
  EXPECT_EQ("content", ReadFileBytes(out + "a.txt"));

  EXPECT_TRUE(IsFolder(root + ours.Pid())) << "a running process of this program keeps its folder";
  EXPECT_EQ("left over", ReadFileBytes(root + ours.Pid() + "\\left.txt"));
  EXPECT_FALSE(Exists(root + other.Pid())) << "a pid of another program protects nothing";
  EXPECT_FALSE(Exists(root + endedPid));
  EXPECT_FALSE(Exists(root + "123abc"));
  EXPECT_FALSE(Exists(root + "99999999999"));
  EXPECT_FALSE(Exists(root + "loose.bin"));
  EXPECT_EQ(1, CountChildren(root)) << "the own folder is gone as well";

  // An unpack that fails removes its own folder too.
  EXPECT_EQ(3, UnZipFiles((program + "missing.zip").c_str(), out.c_str(), "*.*"));
  EXPECT_EQ(1, CountChildren(root));
}
