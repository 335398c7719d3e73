// Timing program for tools/bench/catalogue_bench.sh (not a test): one reload
// of the catalogue as the window does it, on a reply of 1000 plugins in 50
// directories: reading the reply, each plugin's status from the program
// folder (its library in Tovrin.ini, its files, the restart marks, the
// download manager) and the display order with the Russian collation.
// Run from a scratch program folder, which it fills first: half of the
// plugins are installed, some of them outdated, a few marked for restart.
// Prints "MS <median> MIN <min> RUNS <n> ROWS <rows>".
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "SolvikaUtils.h"
#include "catalogue_model.h"
#include "file_io.h"
#include "machine_facts.h"
#include "wide.h"

namespace {

constexpr int kDirectories = 50;
constexpr int kPlugins = 1000;
constexpr int kRuns = 9;
constexpr uint32_t kProgramVersion = 418;
constexpr char kLibraryBytes[] = "not a real library, only its size counts";

std::string PluginId(int i) {
  char id[16];
  std::snprintf(id, sizeof id, "P%04d", i);
  return id;
}

std::string MakeReply() {
  std::string reply = "DIRLIST\r\n";
  for (int d = 1; d <= kDirectories; ++d)
    reply += "\t" + std::to_string(d) + "\t" + sv::Ru(u8"Раздел ") + std::to_string(d) + "\r\n";
  reply += "PLUGINLIST\r\n";
  const size_t librarySize = sizeof kLibraryBytes - 1;
  for (int i = 0; i < kPlugins; ++i) {
    const std::string id = PluginId(i);
    // Every seventh installed plugin has a newer library on offer.
    const size_t offered = i % 7 == 0 ? librarySize + 1 : librarySize;
    std::string files = id + ".svx@" + std::to_string(offered) + "/" + id + ".ico/+" + id + ".hlp/";
    reply += "\t" + sv::Ru(u8"Плагин номер ") + std::to_string(kPlugins - i) + "\t" + id + "\t" + files + "\t" +
             std::to_string(i) + "\t" + sv::Ru(u8"Описание//вторая строка") + "\t" + std::to_string(100 + i % 300) +
             "\t\t" + std::to_string(1 + i % kDirectories) + "\t08.12.2026\t" + (i % 97 == 0 ? "419" : "0") + "\r\n";
  }
  return reply;
}

void PrepareFolder(const std::string& folder) {
  std::string settings;
  std::string marks = "[PatchKeeper]\r\n";
  for (int i = 0; i < kPlugins; ++i) {
    const std::string id = PluginId(i);
    settings += "[*" + id + "]\r\nName=" + id + "\r\nSection=x\r\n";
    if (i % 2 == 0) {
      settings += "Library=" + id + ".svx\r\nVersion=1\r\n";
      sv::WriteFileReplacing(folder + id + ".svx", kLibraryBytes);
      sv::WriteFileReplacing(folder + id + ".ico", "i");
    }
    if (i % 50 == 1) marks += id + "=1\r\n";
  }
  sv::WriteFileReplacing(folder + "Tovrin.ini", settings);
  sv::WriteFileReplacing(folder + "PatchKeeper.upd", marks);
}

int CompareRussian(const std::string& a, const std::string& b) { return RusCompareStr(a.c_str(), b.c_str()); }

double NowMs() {
  LARGE_INTEGER f, t;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&t);
  return t.QuadPart * 1000.0 / f.QuadPart;
}

}  // namespace

int main() {
  const std::string folder = sv::ProgramFolder();
  PrepareFolder(folder);
  const std::string reply = MakeReply();
  std::vector<double> times, parse, status, order;
  size_t rows = 0;
  for (int run = 0; run < kRuns; ++run) {
    const double start = NowMs();
    std::vector<sv::catalogue::Entry> entries = sv::catalogue::ParseReadlist3(reply);
    const double parsed = NowMs();
    sv::catalogue::ComputeStatuses(entries, kProgramVersion, patchkeeper::MachineFacts(folder));
    const double decided = NowMs();
    entries = sv::catalogue::OrderEntries(std::move(entries), CompareRussian);
    const double end = NowMs();
    times.push_back(end - start);
    parse.push_back(parsed - start);
    status.push_back(decided - parsed);
    order.push_back(end - decided);
    rows = entries.size();
  }
  auto median = [](std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
  };
  std::printf("MS %.1f MIN %.1f RUNS %d ROWS %zu PARSE %.1f STATUS %.1f ORDER %.1f\n", median(times),
              *std::min_element(times.begin(), times.end()), kRuns, rows, median(parse), median(status),
              median(order));
  return 0;
}
