// Timing program for tools/bench/net_bench.sh (not a test):
//   net_bench <host:port> <path> <file> <local folder> <pause ms> [seconds]
// downloads one file with SVNetRunDownload and prints "BYTES <n> MS <t>".
// With a pause, the download is stopped after [seconds] (default 5) and the
// bytes received so far are reported.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "SolvikaNet.h"

int main(int argc, char** argv) {
  if (argc < 6) return 2;
  void* job = nullptr;
  SVNetCreateEx(&job);
  SVNetInit(&job, 30000, "BENCH");
  SVNetSetHost(&job, argv[1]);
  SVNetSetAutoExtr(&job, 0);
  int pause = std::atoi(argv[5]);
  int seconds = argc > 6 ? std::atoi(argv[6]) : 5;
  SVNetChangeSleep(&job, (uint16_t)pause);
  LARGE_INTEGER f, t0, t1;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&t0);
  SVNetRunDownload(&job, argv[4], argv[2], argv[3]);
  long long bytes = 0;
  for (;;) {
    Sleep(pause ? 50 : 5);
    QueryPerformanceCounter(&t1);
    if (SVNetIsDone(&job)) break;
    if (pause && (t1.QuadPart - t0.QuadPart) / f.QuadPart >= seconds) {
      bytes = SVNetGetReadLengt(&job);
      QueryPerformanceCounter(&t1);
      break;
    }
  }
  if (!bytes) bytes = SVNetGetReadLengt(&job);
  double ms = (t1.QuadPart - t0.QuadPart) * 1000.0 / f.QuadPart;
  std::printf("BYTES %lld MS %.1f CODE %d OK %d\n", bytes, ms, SVNetGetResultCode(&job), (int)SVNetIsCorrect(&job));
  SVNetDestroy(&job);
  return 0;
}
