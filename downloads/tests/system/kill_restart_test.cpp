// A download survives the program being killed: the manager runs in
// dnm_probe.exe, in a program folder of its own (with a Cyrillic name), and is
// killed hard several times in the middle of a transfer from the local server
// and started again each time, then left to finish. The job must end
// installed, with a file identical to the server's, every restart having
// continued the same job where the last saved progress left it.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "net_test_support.h"
#include "test_support.h"
#include "file_io.h"
#include "wide.h"
#include "win_handles.h"

namespace {

const char* const kProgramFiles[] = {"dnm_probe.exe", "SolvikaDNM.dll", "SolvikaNet.dll", "SolvikaUtils.dll",
                                     "SolvikaPU.dll", "UnzDll.dll",     "ZipDll.dll"};

// One run of dnm_probe.exe with its output in a file; killed when the object
// goes, so that a failed check leaves no process behind.
class ProbeRun {
 public:
  ProbeRun(const std::string& folder, const std::string& args, const std::string& logPath) {
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    sv::Handle log(CreateFileW(sv::Wide(logPath).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa,
                               CREATE_ALWAYS, 0, nullptr));
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    si.hStdOutput = log.Get();
    si.hStdError = log.Get();
    std::wstring cmd = L"\"" + sv::Wide(folder + "dnm_probe.exe") + L"\" " + sv::Wide(args);
    PROCESS_INFORMATION pi = {};
    if (CreateProcessW(nullptr, &cmd[0], nullptr, nullptr, TRUE, 0, nullptr, sv::Wide(folder).c_str(), &si, &pi)) {
      process_.Reset(pi.hProcess);
      sv::Handle thread(pi.hThread);  // not needed: closed at once
    }
  }
  ~ProbeRun() {
    if (process_) Kill();
  }
  bool Started() const { return process_.Valid(); }
  bool Running() const { return process_ && WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT; }
  void Kill() {
    TerminateProcess(process_.Get(), 99);
    WaitForSingleObject(process_.Get(), 10000);
  }
  // Waits for the process to end; false when `ms` passed first.
  bool Wait(DWORD ms, DWORD* exitCode) {
    if (WaitForSingleObject(process_.Get(), ms) != WAIT_OBJECT_0) return false;
    GetExitCodeProcess(process_.Get(), exitCode);
    return true;
  }

 private:
  sv::Handle process_;
};

// Size of the largest file in a job's download folder (the 8-hex-digit
// folders of "SVData\SVDNM\"); -1 when there is none.
long long PartialSize(const std::string& programFolder) {
  std::wstring jobs = sv::Wide(programFolder + "SVData\\SVDNM\\");
  long long largest = -1;
  WIN32_FIND_DATAW fd;
  sv::FindHandle h(FindFirstFileW((jobs + L"*").c_str(), &fd));
  if (!h) return largest;
  do {
    std::wstring name = fd.cFileName;
    if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || name.size() != 8 ||
        name.find_first_not_of(L"0123456789ABCDEF") != std::wstring::npos)
      continue;
    WIN32_FIND_DATAW file;
    sv::FindHandle f(FindFirstFileW((jobs + name + L"\\*").c_str(), &file));
    if (!f) continue;
    do {
      if (file.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
      long long size = ((long long)file.nFileSizeHigh << 32) | file.nFileSizeLow;
      if (size > largest) largest = size;
    } while (FindNextFileW(f.Get(), &file));
  } while (FindNextFileW(h.Get(), &fd));
  return largest;
}

// Names in a folder, without "." and "..".
std::vector<std::string> FolderEntries(const std::string& folder) {
  return sv::FindNames(folder + "*", sv::EntryKind::kAny);
}

// The job code a probe run reported ("JOB <code> CREATED|LOADED"), or "".
std::string JobLine(const std::string& output) {
  size_t at = output.find("JOB ");
  if (at == std::string::npos) return std::string();
  size_t end = output.find('\n', at);
  std::string line = output.substr(at, end == std::string::npos ? std::string::npos : end - at);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

// Start offsets of the open-ended ranged GETs ("bytes=N-") the server saw for
// `path`, in order.
std::vector<long long> ResumedFrom(const std::string& path) {
  std::vector<long long> offsets;
  for (const std::string& r : nettest::RequestsFor("\"path\": \"" + path + "\"")) {
    if (r.find("\"method\": \"GET\"") == std::string::npos) continue;
    std::string lower = r;
    for (char& c : lower) c = (char)tolower((unsigned char)c);
    size_t at = lower.find("\"range\": \"bytes=");
    if (at == std::string::npos) continue;
    at += 16;
    char* end = nullptr;
    long long from = std::strtoll(lower.c_str() + at, &end, 10);
    if (end && *end == '-' && end[1] == '"') offsets.push_back(from);
  }
  return offsets;
}

TEST(DnmSystem, DownloadSurvivesRepeatedHardKillsMidTransfer) {
  REQUIRE_SERVER();
  const long long kSize = 6 << 20;
  const int kKills = 4;
  const std::string data = nettest::Pattern((size_t)kSize, 61);
  nettest::PutServerFile("client/dnmsys/big.bin", data);

  ScratchDir dir(sv::Ru(u8"загрузки"));
  for (const char* f : kProgramFiles)
    ASSERT_TRUE(CopyFileW(sv::Wide(TestProgramFolder() + f).c_str(), sv::Wide(dir / f).c_str(), FALSE)) << f;
  const std::string target = dir / sv::Ru(u8"цель\\");
  ASSERT_TRUE(CreateDirectoryW(sv::Wide(target).c_str(), nullptr));
  const std::string url = "http://" + nettest::ServerHost() + "/client/dnmsys/big.bin";
  // The brake (1 ms after every received chunk) makes the transfer slow
  // enough to be caught in the middle.
  // (The folder goes without its final "\", which would escape the quote.)
  const std::string args = "\"" + url + "\" \"" + target.substr(0, target.size() - 1) + "\" ";

  std::string job;
  long long killedAt = 0;
  for (int kill = 1; kill <= kKills; ++kill) {
    const std::string log = dir / ("run" + std::to_string(kill) + ".log");
    ProbeRun run(dir.Path(), args + "1", log);
    ASSERT_TRUE(run.Started());
    // Each kill waits until the partial file has grown well past where the
    // previous run was killed (by this run, even if that kill came late).
    const long long want = std::max(kSize * kill / (kKills + 2), killedAt + 256 * 1024);
    long long size = -1;
    DWORD start = GetTickCount();
    while ((size = PartialSize(dir.Path())) < want && run.Running() && GetTickCount() - start < 60000) Sleep(5);
    ASSERT_TRUE(run.Running()) << "run " << kill << " ended before it was killed:\n" << ReadFileBytes(log);
    ASSERT_GE(size, want) << "run " << kill << ": the partial file did not grow:\n" << ReadFileBytes(log);
    run.Kill();
    size = PartialSize(dir.Path());
    ASSERT_LT(size, kSize) << "run " << kill << " was killed after its transfer had ended";
    ASSERT_GT(size, killedAt);
    killedAt = size;
    std::printf("run %d killed with %lld of %lld bytes on disk\n", kill, size, kSize);

    // The same job all along: created by the first run, loaded by the others.
    std::string line = JobLine(ReadFileBytes(log));
    if (kill == 1) {
      ASSERT_NE(std::string::npos, line.find(" CREATED")) << ReadFileBytes(log);
      job = line.substr(0, line.find(" CREATED"));
    } else {
      ASSERT_EQ(job + " LOADED", line) << ReadFileBytes(log);
    }
  }

  const std::string log = dir / "final.log";
  ProbeRun last(dir.Path(), args + "0", log);
  DWORD exitCode = 0;
  ASSERT_TRUE(last.Wait(60000, &exitCode)) << "the last run did not finish:\n" << ReadFileBytes(log);
  const std::string out = ReadFileBytes(log);
  EXPECT_EQ(0u, exitCode) << out;
  EXPECT_EQ(job + " LOADED", JobLine(out)) << out;
  EXPECT_NE(std::string::npos, out.find("END 9")) << out;

  const std::string got = ReadFileBytes(target + "big.bin");
  ASSERT_EQ(data.size(), got.size());
  size_t diff = 0;
  while (diff < got.size() && got[diff] == data[diff]) ++diff;
  EXPECT_EQ(got.size(), diff) << "first differing byte at " << diff;
  // Installed: the download folder is gone, the job file stays, and no
  // half-written job file of the killed runs is left over.
  char jobFile[32];
  std::snprintf(jobFile, sizeof jobFile, "%08lX.svdnm", std::strtoul(job.c_str() + 4, nullptr, 10));
  EXPECT_EQ(std::vector<std::string>{jobFile}, FolderEntries(dir / "SVData\\SVDNM\\"));

  // Every restart continued the file from its saved progress rather than
  // fetching it anew.
  size_t resumed = 0;
  std::printf("ranged requests from:");
  for (long long from : ResumedFrom("/client/dnmsys/big.bin")) {
    resumed += from > 0;
    std::printf(" %lld", from);
  }
  std::printf("\n");
  EXPECT_GE(resumed, (size_t)kKills);
}

}  // namespace
