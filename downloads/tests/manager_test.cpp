// The manager against the local server: queries, transfers, failures and
// their messages, the thread limit, resuming, installation and the
// notifications to the main window.
#include <set>

#include "SolvikaPU.h"
#include "dnm_test_support.h"
#include "file_io.h"
#include "job_store.h"
#include "job_text.h"
#include "net_test_support.h"
#include "wide.h"
#include "win_handles.h"

using namespace dnmtest;
using nettest::Pattern;
using nettest::PutServerFile;
using nettest::ServerHost;

namespace {

class Manager : public ::testing::Test {
 protected:
  void SetUp() override {
    if (ServerHost().empty()) GTEST_SKIP() << "no local server";
    ResetJobFolder();
    target_ = TestProgramFolder() + "dnm_target\\";
    RemoveTarget();
    CreateDirectoryW(sv::Wide(target_).c_str(), nullptr);
  }
  void TearDown() override {
    SVDNMSetParams(SVDNM_SET_THREADS, 5);
    SVDNMSetParams(SVDNM_SET_SLEEP, 0);
    RemoveTarget();
  }
  void RemoveTarget() {
    std::string t = target_;
    sv::RemoveFolderTree(t);
  }
  std::string Url(const std::string& rel) { return "http://" + ServerHost() + "/" + rel; }
  uint32_t Download(const std::string& rel) {
    EXPECT_TRUE(SVDNMCreateDownload(Url(rel).c_str(), target_.c_str()));
    return Jobs().empty() ? 0 : Jobs().front().code;
  }
  std::string target_;
};

bool Exists(const std::string& path) { return GetFileAttributesW(sv::Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

// A job as the information query leaves it: one file of `size` bytes.
svdnm::JobRecord QueriedJob(uint32_t code, const std::string& host, const std::string& name, uint32_t size,
                            const std::string& target) {
  svdnm::JobRecord job;
  job.title = name;
  job.code = job.pos = code;
  job.status = 3;
  job.totalLength = size;
  job.download.size = 48;
  job.download.method = 1;
  job.download.hostMode = 3;
  job.download.resume = true;
  job.download.timeout = 20000;
  job.download.host = host;
  job.download.path = "/client/dnm/";
  job.download.files = name;
  job.download.localDir = target;
  job.files.resize(1);
  job.files[0].name = job.files[0].path = name;
  job.files[0].host = host;
  job.files[0].bytes = (int32_t)size;
  job.files[0].resultCode = 200;
  return job;
}

}  // namespace

TEST_F(Manager, DownloadRunsFromQueryToInstalled) {
  std::string bytes = Pattern(300000, 1);
  PutServerFile("client/dnm/plain.bin", bytes);
  uint32_t code = Download("client/dnm/plain.bin");
  Running manager;
  // The query runs while the queue is off; the transfer waits for it.
  ASSERT_TRUE(WaitStatus(code, SVDNM_READY));
  Sleep(600);
  EXPECT_EQ(SVDNM_READY, Job(code).status);
  EXPECT_EQ(300000u, Job(code).total);
  EXPECT_EQ(1, SVDNMGetParams(SVDNM_GET_WAITING));
  std::string text = JobText(code);
  std::string fileBlock = "FCount\t1\nFile-0-FName\tplain.bin\nFile-0-FPath\tplain.bin\nFile-0-rHost\t" +
                          ServerHost() + "\nFile-0-rETag\t\"";
  EXPECT_NE(std::string::npos, text.find(fileBlock)) << text;
  EXPECT_NE(std::string::npos, text.find("\nFile-0-sLLen\t0\nFile-0-rLength\t300000\nFile-0-rCode\t200\n"
                                         "File-0-rLastMod\t 4."))
      << text;

  SVDNMSetParams(SVDNM_SET_ENABLED, 1);
  ASSERT_TRUE(WaitStatus(code, SVDNM_INSTALLED)) << ErrorLog();
  EXPECT_EQ(bytes, ReadFileBytes(target_ + "plain.bin"));
  EXPECT_EQ(300000u, Job(code).done);
  EXPECT_TRUE(Exists(Folder() + Hex(code) + ".svdnm")) << "the finished job stays listed";
  EXPECT_FALSE(Exists(Folder() + Hex(code)));
  EXPECT_EQ(2, SVDNMGetStatusByIParam(""));
  Sleep(600);
  EXPECT_EQ(0, SVDNMGetParams(SVDNM_GET_ENABLED)) << "an idle queue switches itself off";
  EXPECT_EQ("", ErrorLog());
}

TEST_F(Manager, FailuresEndWithTheirMessages) {
  uint32_t missing = Download("client/dnm/nothing-here.bin");
  ASSERT_TRUE(SVDNMCreateDownload(("http://" + nettest::DeadHost() + "/x/y.bin").c_str(), target_.c_str()));
  uint32_t dead = Jobs().front().code;
  Running manager;
  ASSERT_TRUE(WaitStatus(missing, SVDNM_NOT_FOUND));
  ASSERT_TRUE(WaitStatus(dead, SVDNM_QUERY_FAILED));
  std::string log = ErrorLog();
  EXPECT_NE(std::string::npos,
            log.find(Url("client/dnm/nothing-here.bin") + sv::Ru(u8": Файл не найден или он недоступен для закачки!\r")))
      << log;
  EXPECT_NE(std::string::npos, log.find(sv::Ru(u8"/x/y.bin: Нет подключения к серверу (подключение, прокси-сервер, "
                                               u8"фаерфол, антивирус) или неправильный URL!\r")))
      << log;
  EXPECT_EQ('[', log[0]);
  EXPECT_EQ("] ", log.substr(9, 2));
  EXPECT_EQ("", ErrorLog()) << "the log is handed out once";

  SVDNMSetParams(SVDNM_SET_ENABLED, 2);  // on, without re-queuing
  Sleep(600);
  EXPECT_EQ(SVDNM_QUERY_FAILED, Job(dead).status);
  SVDNMSetParams(SVDNM_SET_ENABLED, 1);  // re-queues: the query runs (and fails) again
  ASSERT_TRUE(WaitStatus(dead, SVDNM_QUERY_FAILED, 30000));
  EXPECT_NE("", ErrorLog());
  EXPECT_EQ(SVDNM_NOT_FOUND, Job(missing).status) << "not found is final";
}

TEST_F(Manager, FileChangedOnServerAfterTheQuery) {
  PutServerFile("client/dnm/grows.bin", Pattern(50000, 2));
  uint32_t code = Download("client/dnm/grows.bin");
  Running manager;
  ASSERT_TRUE(WaitStatus(code, SVDNM_READY));
  PutServerFile("client/dnm/grows.bin", Pattern(50001, 2));
  SVDNMSetParams(SVDNM_SET_ENABLED, 1);
  ASSERT_TRUE(WaitStatus(code, SVDNM_NOT_FOUND));
  EXPECT_NE(std::string::npos, ErrorLog().find(sv::Ru(u8": Файл на сервере изменен! Попробуйте заново закачать!")));
}

TEST_F(Manager, ThreadLimitPausesTheLaterJob) {
  for (int i = 0; i < 3; i++) PutServerFile("client/dnm/t" + std::to_string(i) + ".bin", Pattern(2000000, i));
  std::vector<uint32_t> codes;
  for (int i = 0; i < 3; i++) codes.push_back(Download("client/dnm/t" + std::to_string(i) + ".bin"));
  Running manager;
  for (uint32_t c : codes) ASSERT_TRUE(WaitStatus(c, SVDNM_READY));
  SVDNMSetParams(SVDNM_SET_THREADS, 2);
  SVDNMSetParams(SVDNM_SET_SLEEP, 20);  // slow enough to watch
  SVDNMSetParams(SVDNM_SET_ENABLED, 1);
  ASSERT_TRUE(WaitStatus(codes[1], SVDNM_TRANSFERRING));
  ASSERT_TRUE(WaitStatus(codes[0], SVDNM_TRANSFERRING));
  EXPECT_EQ(SVDNM_READY, Job(codes[2]).status);
  SVDNMSetParams(SVDNM_SET_THREADS, 1);
  ASSERT_TRUE(WaitStatus(codes[1], SVDNM_PAUSED));
  EXPECT_EQ(SVDNM_TRANSFERRING, Job(codes[0]).status);
  EXPECT_EQ(1, SVDNMGetParams(SVDNM_GET_THREADS));
  EXPECT_EQ(20, SVDNMGetParams(SVDNM_GET_SLEEP));

  // Moving the last job one place earlier swaps it with its neighbour.
  SVDNMSetParams(SVDNM_SET_EARLIER, (int32_t)codes[2]);
  std::vector<JobLine> list = Jobs();
  ASSERT_EQ(3u, list.size());
  EXPECT_EQ(codes[1], list[0].code);
  EXPECT_EQ(codes[2], list[1].code);
  SVDNMSetParams(SVDNM_SET_LATER, (int32_t)codes[1]);  // already last: nothing
  EXPECT_EQ(codes[1], Jobs()[0].code);

  SVDNMSetParams(SVDNM_SET_DELETE, (int32_t)codes[0]);  // a running transfer
  SVDNMSetParams(SVDNM_SET_DELETE_STATUS, SVDNM_PAUSED);
  ASSERT_TRUE(WaitFor([](void*) { return Jobs().size() == 1; }, nullptr, 10000));
  EXPECT_FALSE(Exists(Folder() + Hex(codes[0]) + ".svdnm"));
  EXPECT_FALSE(Exists(Folder() + Hex(codes[0])));
}

// A transfer killed mid-file continues 5120 bytes before its saved position
// when the server serves ranges, and from the file's start when it does not.
TEST_F(Manager, ResumesFromTheSavedPosition) {
  std::string bytes = Pattern(400000, 3);
  PutServerFile("client/dnm/r.bin", bytes);
  struct Case {
    std::string host;
    const char* range;
  } cases[] = {{ServerHost(), "bytes=94880-"}, {nettest::FaultHost("norange"), nullptr}};
  uint32_t code = 0x300;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.host);
    svdnm::JobRecord job = QueriedJob(++code, c.host, "r.bin", 400000, target_);
    job.status = SVDNM_TRANSFERRING;  // the program ended during the transfer
    job.currLength = 100000;
    WriteJob(job);
    CreateDirectoryW(sv::Wide(Folder() + Hex(code)).c_str(), nullptr);
    // What was on disk: more than the last save, with a damaged tail.
    WriteFileBytes(Folder() + Hex(code) + "\\r.bin", bytes.substr(0, 100000) + std::string(9000, 'x'));
    size_t before = nettest::Requests().size();
    {
      Running manager;
      EXPECT_EQ(SVDNM_PAUSED, Job(code).status);
      SVDNMSetParams(SVDNM_SET_ENABLED, 1);
      ASSERT_TRUE(WaitStatus(code, SVDNM_INSTALLED)) << ErrorLog();
    }
    EXPECT_EQ(bytes, ReadFileBytes(target_ + "r.bin"));
    std::vector<std::string> requests = nettest::Requests();
    std::string gets;
    for (size_t i = before; i < requests.size(); i++)
      if (requests[i].find("\"GET\"") != std::string::npos) gets += requests[i];
    if (c.range) EXPECT_NE(std::string::npos, gets.find(c.range)) << gets;
    else EXPECT_EQ(std::string::npos, gets.find("bytes=")) << gets;
  }
}

TEST_F(Manager, InstallsUnpackedFilesIntoARelativeTarget) {
  ScratchDir src("zipsrc");
  WriteFileBytes(src / "x.dll", "dll");
  WriteFileBytes(src / "y.txt", "text");
  CreateDirectoryW(sv::Wide(src / "sub").c_str(), nullptr);
  WriteFileBytes(src / "sub\\z.txt", "nested");
  ASSERT_EQ(0, ZipFiles((src / "a.zip").c_str(), ((src / "x.dll") + "\t" + (src / "y.txt") + "\t" + (src / "sub")).c_str()));
  PutServerFile("client/dnm/inst/a.zip", ReadFileBytes(src / "a.zip"));
  PutServerFile("client/dnm/inst/readme.txt", "readme");
  RemoveTarget();
  CreateDirectoryW(sv::Wide(TestProgramFolder() + "dnm_target").c_str(), nullptr);
  Params p(ServerHost(), "/client/dnm/inst/", "a.zip/readme.txt", ":dnm_target");
  p.p.AutoExtract = 1;
  uint32_t code = SVDNMCreateJob(&p.p, nullptr, "inst", 0, "plain");
  Running manager;
  SVDNMSetParams(SVDNM_SET_ENABLED, 1);
  ASSERT_TRUE(WaitStatus(code, SVDNM_INSTALLED)) << ErrorLog();
  EXPECT_EQ("dll", ReadFileBytes(target_ + "x.dll"));
  EXPECT_EQ("text", ReadFileBytes(target_ + "y.txt"));
  EXPECT_EQ("readme", ReadFileBytes(target_ + "readme.txt"));
  EXPECT_FALSE(Exists(target_ + "a.zip"));
  EXPECT_FALSE(Exists(target_ + "sub")) << "folders of an archive stay behind";
  EXPECT_FALSE(Exists(Folder() + Hex(code) + "-1"));
  EXPECT_FALSE(Exists(TestProgramFolder() + "PatchKeeper.upd")) << "plain jobs leave no mark";
}

TEST_F(Manager, LockedTargetFailsAndReadOnlyTargetIsReplaced) {
  PutServerFile("client/dnm/lk/locked.txt", "new");
  PutServerFile("client/dnm/lk/readonly.txt", "new");
  WriteFileBytes(target_ + "readonly.txt", "old");
  SetFileAttributesW(sv::Wide(target_ + "readonly.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  WriteFileBytes(target_ + "locked.txt", "old");
  sv::Handle lock(CreateFileW(sv::Wide(target_ + "locked.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(lock.Valid());
  Params p(ServerHost(), "/client/dnm/lk/", "readonly.txt/locked.txt", target_);
  uint32_t code = SVDNMCreateJob(&p.p, nullptr, "locked", 0, "");
  Running manager;
  SVDNMSetParams(SVDNM_SET_ENABLED, 1);
  ASSERT_TRUE(WaitStatus(code, SVDNM_INSTALL_FAILED)) << ErrorLog();
  EXPECT_NE(std::string::npos, ErrorLog().find(sv::Ru(u8"] Невозможно скопировать файл!\r")));
  EXPECT_EQ("old", ReadFileBytes(target_ + "locked.txt"));
  lock.Reset();
  SVDNMSetParams(SVDNM_SET_ENABLED, 1);  // 8 goes back to 6 and installs
  ASSERT_TRUE(WaitStatus(code, SVDNM_INSTALLED)) << ErrorLog();
  EXPECT_EQ("new", ReadFileBytes(target_ + "locked.txt"));
  EXPECT_EQ("new", ReadFileBytes(target_ + "readonly.txt"));
}

namespace {

std::vector<std::pair<WPARAM, LPARAM>> g_posted;

LRESULT CALLBACK MainFormProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == SVDNM_WM_SHELL_COMMAND) g_posted.push_back({wp, lp});
  return DefWindowProcW(w, msg, wp, lp);
}

bool PumpUntilStatus(uint32_t code, int status, DWORD ms) {
  DWORD start = GetTickCount();
  MSG msg;
  while (Job(code).status != status) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    if (GetTickCount() - start > ms) return false;
    Sleep(20);
  }
  // The notifications follow when the next tick finishes the installation.
  for (int i = 0; i < 40; i++) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    Sleep(25);
  }
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  return true;
}

}  // namespace

TEST_F(Manager, UpdatePackageIsPackedAndAnnounced) {
  ScratchDir src("pkg");
  WriteFileBytes(src / "x.dll", "dll");
  ASSERT_EQ(0, ZipFiles((src / "p.zip").c_str(), (src / "x.dll").c_str()));
  PutServerFile("client/dnm/pkg/p.zip", ReadFileBytes(src / "p.zip"));
  PutServerFile("client/dnm/pkg/extra.uip", "uip");
  PutServerFile("client/dnm/pkg/notes.txt", "notes");

  WNDCLASSW wc{};
  wc.lpfnWndProc = MainFormProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"TSolvikaMainForm";
  RegisterClassW(&wc);
  HWND main = CreateWindowW(L"TSolvikaMainForm", L"Solvika", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                            wc.hInstance, nullptr);
  ASSERT_NE(nullptr, main);
  g_posted.clear();

  Params p(ServerHost(), "/client/dnm/pkg/", "p.zip/extra.uip/notes.txt", target_);
  p.p.AutoExtract = 1;
  uint32_t code = SVDNMCreateJob(&p.p, nullptr, "update", 1, "catalogue-item");
  Running manager;
  SVDNMSetParams(SVDNM_SET_ENABLED, 1);
  EXPECT_TRUE(PumpUntilStatus(code, SVDNM_INSTALLED, 30000)) << ErrorLog();
  DestroyWindow(main);

  std::string package = target_ + Hex(code) + ".uiu";
  EXPECT_EQ("uip", ReadFileBytes(target_ + "extra.uip"));
  EXPECT_FALSE(Exists(target_ + "notes.txt")) << "plain files go into the package";
  EXPECT_EQ(0, FileExistsInZip(package.c_str(), "x.dll")) << "the archive's content is in the package";
  EXPECT_EQ(0, FileExistsInZip(package.c_str(), "notes.txt"));
  EXPECT_NE(std::string::npos, ReadFileBytes(TestProgramFolder() + "PatchKeeper.upd").find("catalogue-item=1"));
  std::set<std::pair<WPARAM, LPARAM>> got(g_posted.begin(), g_posted.end());
  EXPECT_TRUE(got.count({102, 13}));
  EXPECT_TRUE(got.count({200, (LPARAM)code}));
}

TEST_F(Manager, OldFinishedJobsAreCleanedUp) {
  for (uint32_t c = 0x400; c < 0x400 + 35; c++) {
    svdnm::JobRecord job = QueriedJob(c, ServerHost(), "f.bin", 1, target_);
    job.status = SVDNM_INSTALLED;
    WriteJob(job);
  }
  // One more that only waits for its installation.
  svdnm::JobRecord last = QueriedJob(0x500, ServerHost(), "f.bin", 1, target_);
  last.status = SVDNM_TRANSFERRED;
  WriteJob(last);
  CreateDirectoryW(sv::Wide(Folder() + Hex(0x500)).c_str(), nullptr);
  WriteFileBytes(Folder() + Hex(0x500) + "\\f.bin", "f");
  Running manager;
  ASSERT_TRUE(WaitStatus(0x500, SVDNM_INSTALLED));
  ASSERT_TRUE(WaitFor([](void*) { return Jobs().size() == 30; }, nullptr, 5000)) << Jobs().size();
  for (uint32_t c = 0x400; c < 0x406; c++) EXPECT_FALSE(Exists(Folder() + Hex(c) + ".svdnm"));
  EXPECT_TRUE(Exists(Folder() + Hex(0x406) + ".svdnm"));
}
