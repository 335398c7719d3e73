// Timing of SolvikaData against the same work done elsewhere (see
// tools/bench/data_bench.sh).
//
//   data_bench sql <file> <rows>      writes the insert script: one
//                                     transaction of <rows> INSERT statements
//   data_bench run <database> <rows>  creates the table, runs the same
//                                     statements through SVDataExec, then
//                                     reads every row back field by field;
//                                     prints "insert_ms=.. read_ms=.."
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "SolvikaData.h"
#include "wide.h"
#include "win_handles.h"

namespace {

const char kCreate[] = "CREATE TABLE t(a TEXT, b TEXT, c TEXT);";

// Row i as an INSERT statement: three texts, one with Cyrillic letters.
std::string Insert(int i) {
  char buf[200];
  std::snprintf(buf, sizeof buf,
                "INSERT INTO t VALUES('name %07d','\xC7\xE0\xEF\xE8\xF1\xFC %d \xE2 \xF2\xE0\xE1\xEB\xE8\xF6\xE5','%d.%02d');",
                i, i * 7, i / 100, i % 100);
  return buf;
}

double Ms(LARGE_INTEGER a, LARGE_INTEGER b) {
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);
  return (double)(b.QuadPart - a.QuadPart) * 1000.0 / (double)f.QuadPart;
}

int WriteSql(const char* file, int rows) {
  FILE* f = _wfopen(sv::Wide(file).c_str(), L"wb");
  if (!f) return 1;
  std::fprintf(f, "%s\nBEGIN;\n", kCreate);
  for (int i = 0; i < rows; ++i) std::fprintf(f, "%s\n", Insert(i).c_str());
  std::fprintf(f, "COMMIT;\n");
  std::fclose(f);
  return 0;
}

int Run(const char* file, int rows) {
  if (!sv::Handle(CreateFileW(sv::Wide(file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr)))
    return 1;  // the empty database file could not be made

  SvDataHandle db = SVDataCreate(SVDATA_SQLITE);
  TSVDataConnectParams p = {};
  p.size = sizeof p;
  p.file = file;
  if (!SVDataConnect(&db, &p)) return 2;

  LARGE_INTEGER t0, t1, t2;
  QueryPerformanceCounter(&t0);
  bool ok = SVDataExec(&db, kCreate) && SVDataExec(&db, "BEGIN;");
  for (int i = 0; ok && i < rows; ++i) ok = SVDataExec(&db, Insert(i).c_str());
  ok = ok && SVDataExec(&db, "COMMIT;");
  QueryPerformanceCounter(&t1);
  if (!ok) return 3;

  long long fields = 0, bytes = 0;
  SvStr value = nullptr;
  if (!SVDataOpenQuery(&db, "SELECT a, b, c FROM t")) return 4;
  while (SVDataNextRow(&db)) {
    while (SVDataNextField(&db)) {
      SVDataGetValue(&value, &db);
      bytes += sv::Length(value);
      ++fields;
    }
  }
  SVDataCloseQuery(&db);
  QueryPerformanceCounter(&t2);
  sv::Release(value);
  SVDataDisconnect(&db);
  SVDataFree(&db);
  if (fields != 3LL * rows) return 5;
  std::printf("insert_ms=%.1f read_ms=%.1f fields=%lld bytes=%lld\n", Ms(t0, t1), Ms(t1, t2), fields, bytes);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: data_bench sql|run <file> <rows>\n");
    return 1;
  }
  int rows = std::atoi(argv[3]);
  std::string mode = argv[1];
  if (mode == "sql") return WriteSql(argv[2], rows);
  if (mode == "run") return Run(argv[2], rows);
  return 1;
}
