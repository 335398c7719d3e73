// Timing program for tools/bench/dnm_bench.sh (not a test). It runs the
// download manager in the folder of this executable, which must hold no jobs
// yet.
//
//   dnm_bench url <url> <target folder>
//   dnm_bench files <host:port> <path> <count> <target folder>
//       creates one job (a download by URL, or one job of the files
//       f000.bin ... of <path>), switches the queue on and polls the jobs
//       list every 10 ms (the manager ticks every 250 ms); prints
//       "TOTAL <bytes> T4 <ms> T6 <ms> T9 <ms> STATUS <s>": the times since
//       the job was created at which the transfer was first seen running
//       (status 4 or later) and finished (6 or later), and the job was
//       installed (9).
//   dnm_bench ticks <url> <jobs> <seconds>
//       creates one job of <url> and lets its information query run (the
//       queue stays off, so it waits in status 3, or 2 when the host
//       refuses), stops the manager and
//       copies its job file to <jobs> - 1 more jobs under new codes; starts
//       the manager again with all of them loaded and measures the processor
//       time of the process over <seconds> of idle ticks. Prints
//       "<what> JOBS <n> WAITING <w> TICKS <t> PERTICK <ms>" for the process
//       without the manager (IDLE), the same with a thread that only wakes
//       every 10 ms (WAKE10), with the manager and one job, and with all the
//       jobs (MANAGER), then "STOPMS <ms>".
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "SolvikaDNM.h"
#include "SolvikaPU.h"
#include "SolvikaUtils.h"
#include "file_io.h"
#include "svstring.h"
#include "win_handles.h"

namespace {

double Now() {
  static LARGE_INTEGER f = [] {
    LARGE_INTEGER x;
    QueryPerformanceFrequency(&x);
    return x;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return t.QuadPart * 1000.0 / f.QuadPart;
}

std::string JobsList() {
  SvStr out = nullptr;
  SVDNMImportJobsList(&out);
  return sv::Take(out);
}

// Status of the first job of the list (-1 when there is none), its total.
int FirstStatus(const std::string& list, unsigned long long* total = nullptr) {
  std::vector<std::string> f;
  std::string line = list.substr(0, list.find('\n'));
  size_t start = 0;
  while (start <= line.size()) {
    size_t tab = line.find('\t', start);
    if (tab == std::string::npos) tab = line.size();
    f.push_back(line.substr(start, tab - start));
    start = tab + 1;
  }
  if (f.size() < 6) return -1;
  if (total) *total = std::strtoull(f[3].c_str(), nullptr, 10);
  return std::atoi(f[2].c_str());
}

size_t LineCount(const std::string& list) {
  size_t n = 0;
  for (char c : list) n += c == '\n';
  return n;
}

void StartManager() {
  SolvikaDNMStart();
  // Ready once the stored settings (and the saved jobs) are loaded.
  DWORD t0 = GetTickCount();
  while (SVDNMGetParams(SVDNM_GET_THREADS) == 0 && GetTickCount() - t0 < 10000) Sleep(5);
}

// Polls the one job until it is installed or fails for good.
int Follow(double created) {
  double t4 = -1, t6 = -1, t9 = -1;
  unsigned long long total = 0;
  int status = -1;
  const double limit = created + 600000;
  while (Now() < limit) {
    status = FirstStatus(JobsList(), &total);
    double t = Now() - created;
    if (status >= SVDNM_TRANSFERRING && t4 < 0) t4 = t;
    if (status >= SVDNM_TRANSFERRED && status != SVDNM_TRANSFER_FAILED && t6 < 0) t6 = t;
    if (status == SVDNM_INSTALLED) {
      t9 = t;
      break;
    }
    if (status == SVDNM_QUERY_FAILED || status == SVDNM_INSTALL_FAILED || status == SVDNM_TRANSFER_FAILED ||
        status == SVDNM_NOT_FOUND)
      break;
    Sleep(10);
  }
  std::printf("TOTAL %llu T4 %.1f T6 %.1f T9 %.1f STATUS %d\n", total, t4, t6, t9, status);
  if (status != SVDNM_INSTALLED) std::printf("LIST %s\n", JobsList().c_str());
  return status == SVDNM_INSTALLED ? 0 : 1;
}

std::string HexName(uint32_t code) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%08X", (unsigned)code);
  return buf;
}

bool WriteAll(const std::string& path, const std::string& bytes) { return sv::WriteFileReplacing(path, bytes); }

std::string Zlib(void(SVAPI* fn)(SvStr*, SvStr), const std::string& in) {
  sv::OwnedStr arg(in);
  return sv::TakeOut([&](SvStr* out) { fn(out, arg); });
}

std::string Digest(const std::string& body) {
  std::string framed = "\x02" + body + "\x03";
  return sv::Take(MD5Buffer(framed.data(), (int32_t)framed.size()));
}

// The body with the value of line `key` replaced.
std::string SetLine(const std::string& body, const std::string& key, const std::string& value) {
  size_t at = body.compare(0, key.size() + 1, key + "\t") == 0 ? 0 : body.find("\n" + key + "\t");
  if (at == std::string::npos) return body;
  if (at) ++at;
  size_t end = body.find('\n', at);
  return body.substr(0, at) + key + "\t" + value + body.substr(end);
}

double ProcessCpuMs() {
  FILETIME c, e, k, u;
  GetProcessTimes(GetCurrentProcess(), &c, &e, &k, &u);
  auto ms = [](FILETIME t) { return (((unsigned long long)t.dwHighDateTime << 32) | t.dwLowDateTime) / 10000.0; };
  return ms(k) + ms(u);
}

// Processor time of the whole process per 250 ms of `seconds`.
double CpuPerTick(int seconds, double* ticks) {
  double cpu0 = ProcessCpuMs();
  DWORD t0 = GetTickCount();
  Sleep((DWORD)seconds * 1000);
  double cpu = ProcessCpuMs() - cpu0;
  *ticks = (GetTickCount() - t0) / 250.0;
  return cpu / *ticks;
}

void MeasureTicks(const char* what, int seconds) {
  Sleep(1000);  // let the first ticks after a start pass
  double ticks = 0;
  double perTick = CpuPerTick(seconds, &ticks);
  std::string list = JobsList();
  std::printf("%s JOBS %u WAITING %d TICKS %.0f PERTICK %.3f\n", what, (unsigned)LineCount(list),
              (int)SVDNMGetParams(SVDNM_GET_WAITING), ticks, perTick);
  std::fflush(stdout);
}

volatile bool g_stopWaker = false;

DWORD WINAPI WakeEvery10Ms(void*) {
  while (!g_stopWaker) Sleep(10);
  return 0;
}

int Ticks(const std::string& url, int jobs, int seconds) {
  const std::string folder = sv::ProgramFolder();
  const std::string jobDir = folder + "SVData\\SVDNM\\";
  // The process itself, idle, without the manager thread: what the ticks
  // are measured against.
  MeasureTicks("IDLE", seconds);
  // For scale: the same with one thread that only wakes every 10 ms, as the
  // manager thread does between ticks to notice a stop request early.
  {
    sv::Thread waker = sv::Thread::Start(WakeEvery10Ms, nullptr);
    MeasureTicks("WAKE10", seconds);
    g_stopWaker = true;
    waker.Wait(INFINITE);
  }
  StartManager();
  if (!SVDNMCreateDownload(url.c_str(), folder.c_str())) return std::puts("CREATE FAILED"), 1;
  unsigned long code = std::strtoul(JobsList().c_str(), nullptr, 10);
  DWORD t0 = GetTickCount();
  // The query ends in status 3, or in status 2 when the host refuses.
  auto queried = [] {
    const int s = FirstStatus(JobsList());
    return s == SVDNM_READY || s == SVDNM_QUERY_FAILED;
  };
  while (!queried() && GetTickCount() - t0 < 30000) Sleep(10);
  if (!queried()) return std::printf("QUERY NOT OVER %s\n", JobsList().c_str()), 1;
  MeasureTicks("MANAGER", seconds);
  SolvikaDNMStop();

  std::string packed, text;
  if (!sv::ReadWholeFile(jobDir + HexName(code) + ".svdnm", &packed)) return std::puts("NO JOB FILE"), 1;
  text = Zlib(zlibDecompress, packed);
  size_t nl = text.find('\n');
  if (text.compare(0, 5, "Hash\t") != 0 || nl == std::string::npos) return std::puts("NO HASH LINE"), 1;
  std::string body = text.substr(nl + 1);
  if (text.substr(5, nl - 5) != Digest(body)) return std::puts("HASH DIFFERS"), 1;
  for (int i = 1; i < jobs; ++i) {
    uint32_t c = (uint32_t)code + (uint32_t)i;
    std::string b = SetLine(SetLine(body, "Code", std::to_string(c)), "Pos", std::to_string(c));
    CreateDirectoryA((jobDir + HexName(c)).c_str(), nullptr);
    if (!WriteAll(jobDir + HexName(c) + ".svdnm", Zlib(zlibCompress, "Hash\t" + Digest(b) + "\n" + b)))
      return std::puts("WRITE FAILED"), 1;
  }

  StartManager();
  t0 = GetTickCount();
  while (LineCount(JobsList()) < (size_t)jobs && GetTickCount() - t0 < 60000) Sleep(50);
  MeasureTicks("MANAGER", seconds);
  double s0 = Now();
  SolvikaDNMStop();
  std::printf("STOPMS %.1f\n", Now() - s0);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  std::string mode = argv[1];
  if (mode == "url" && argc >= 4) {
    StartManager();
    double created = Now();
    if (!SVDNMCreateDownload(argv[2], argv[3])) return std::puts("CREATE FAILED"), 1;
    SVDNMSetParams(SVDNM_SET_ENABLED, 1);
    int rc = Follow(created);
    SolvikaDNMStop();
    return rc;
  }
  if (mode == "files" && argc >= 6) {
    int count = std::atoi(argv[4]);
    std::string names;
    for (int i = 0; i < count; ++i) {
      char name[16];
      std::snprintf(name, sizeof name, "f%03d.bin", i);
      names += (i ? "/" : "") + std::string(name);
    }
    TSVNetParams p = {};
    p.Size = 48;
    p.Method = SVNET_GET;
    p.HostMode = SVNET_HOSTS_EXPLICIT;
    p.Resume = 1;
    p.Timeout = 60000;
    // Real strings of the system (length in their header), as a caller in
    // the system passes them.
    p.Host = sv::StrFromC(argv[2]);
    p.Path = sv::StrFromC(argv[3]);
    p.Files = sv::StrFromC(names.c_str());
    p.LocalDir = sv::StrFromC(argv[5]);
    StartManager();
    double created = Now();
    uint32_t code = SVDNMCreateJob(&p, nullptr, "200 files", 0, "");
    for (SvStr s : {p.Host, p.Path, p.Files, p.LocalDir}) sv::Release(s);
    if (code == 0 || code == 0xFFFFFFFFu) return std::printf("CREATE FAILED %u\n", (unsigned)code), 1;
    SVDNMSetParams(SVDNM_SET_ENABLED, 1);
    int rc = Follow(created);
    SolvikaDNMStop();
    return rc;
  }
  if (mode == "ticks" && argc >= 5) return Ticks(argv[2], std::atoi(argv[3]), std::atoi(argv[4]));
  return 2;
}
