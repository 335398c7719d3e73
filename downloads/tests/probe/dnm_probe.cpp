// Runs the download manager in the program folder of this executable until
// its one job is finished, for the system test that kills it on the way:
//
//   dnm_probe <url> <target folder> [sleep ms] [time limit ms]
//
// Starts the manager. When it holds no job (first run), creates a download
// of <url> into <target folder>; otherwise carries on with the job it loaded.
// Sets the speed brake when [sleep ms] is given (0 lifts it), switches the
// queue on (which also re-queues a failed job, as a restarted program would)
// and polls the jobs list until the job ends.
//
// Output, one line each, written at once (the process may be killed at any
// moment): "JOB <code> CREATED" or "JOB <code> LOADED", "STATUS <s> <done>
// <total>" on every change of status, then "END <s>".
// Exit code: 0 when the job is installed (status 9); the status itself when it
// ends in 2, 8, 10 or 11; 20 when the download could not be created; 21 when
// the time limit passed (default 120 s).
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "SolvikaDNM.h"
#include "svstring.h"
#include "wide.h"

namespace {

void Say(const std::string& line) {
  std::fputs((line + "\n").c_str(), stdout);
  std::fflush(stdout);
}

std::string JobsList() { return sv::TakeOut(SVDNMImportJobsList); }

struct Line {
  unsigned long code = 0;
  int status = -1;
  std::string total, done;
};

// The first line of the list (the last job); code 0 when there is none.
Line FirstJob(const std::string& list) {
  Line line;
  std::vector<std::string> f;
  size_t start = 0;
  size_t end = list.find('\n');
  std::string text = list.substr(0, end);
  while (start <= text.size()) {
    size_t tab = text.find('\t', start);
    if (tab == std::string::npos) tab = text.size();
    f.push_back(text.substr(start, tab - start));
    start = tab + 1;
  }
  if (f.size() < 6) return line;
  line.code = std::strtoul(f[0].c_str(), nullptr, 10);
  line.status = std::atoi(f[2].c_str());
  line.total = f[3];
  line.done = f[4];
  return line;
}

std::vector<std::string> Args() {
  int n = 0;
  wchar_t** w = CommandLineToArgvW(GetCommandLineW(), &n);
  std::vector<std::string> args;
  for (int i = 0; i < n; ++i) args.push_back(sv::Narrow(w[i]));
  LocalFree(w);
  return args;
}

}  // namespace

int main() {
  std::vector<std::string> args = Args();
  if (args.size() < 3) {
    Say("usage: dnm_probe <url> <target folder> [sleep ms] [time limit ms]");
    return 2;
  }
  const int sleepMs = args.size() > 3 ? std::atoi(args[3].c_str()) : -1;
  const DWORD limitMs = args.size() > 4 ? (DWORD)std::strtoul(args[4].c_str(), nullptr, 10) : 120000;
  const DWORD started = GetTickCount();

  SolvikaDNMStart();
  // The manager thread loads the saved jobs and applies its stored settings
  // before it reports a thread limit; changing settings before that could be
  // overwritten by the stored ones.
  while (SVDNMGetParams(SVDNM_GET_THREADS) == 0 && GetTickCount() - started < 10000) Sleep(10);

  Line job = FirstJob(JobsList());
  if (job.code == 0) {
    if (!SVDNMCreateDownload(args[1].c_str(), args[2].c_str())) {
      Say("CREATE FAILED");
      SolvikaDNMStop();
      return 20;
    }
    job = FirstJob(JobsList());
    Say("JOB " + std::to_string(job.code) + " CREATED");
  } else {
    Say("JOB " + std::to_string(job.code) + " LOADED");
  }
  if (sleepMs >= 0) SVDNMSetParams(SVDNM_SET_SLEEP, sleepMs);
  SVDNMSetParams(SVDNM_SET_ENABLED, 1);

  int last = -1;
  int result = 21;
  while (GetTickCount() - started < limitMs) {
    Line now = FirstJob(JobsList());
    if (now.status != last) {
      last = now.status;
      Say("STATUS " + std::to_string(now.status) + " " + now.done + " " + now.total);
    }
    if (now.status == SVDNM_INSTALLED) {
      result = 0;
      break;
    }
    if (now.status == SVDNM_NOT_FOUND || now.status == SVDNM_INSTALL_FAILED || now.status == SVDNM_QUERY_FAILED ||
        now.status == SVDNM_TRANSFER_FAILED) {
      result = now.status;
      break;
    }
    Sleep(20);
  }
  const std::string errors = sv::TakeOut(SVDNMGetErrorString);
  if (!errors.empty()) Say("ERRORS " + errors);
  Say("END " + std::to_string(last));
  SolvikaDNMStop();
  return result;
}
