// Timing program for tools/bench/pack_bench.sh (not a test): runs one
// UnZipFiles or ZipFiles call and prints its result and wall time.
//   pack_bench.exe unzip <archive> <target folder>
//   pack_bench.exe zip <archive> <file spec>
#include <windows.h>
#include <stdio.h>
#include <string.h>

#include "SolvikaPU.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    fprintf(stderr, "usage: pack_bench unzip|zip <archive> <target or spec>\n");
    return 2;
  }
  LARGE_INTEGER freq, start, end;
  QueryPerformanceFrequency(&freq);
  QueryPerformanceCounter(&start);
  int32_t rc = strcmp(argv[1], "unzip") == 0 ? UnZipFiles(argv[2], argv[3], "*.*") : ZipFiles(argv[2], argv[3]);
  QueryPerformanceCounter(&end);
  printf("rc=%d ms=%.1f\n", rc, (double)(end.QuadPart - start.QuadPart) * 1000.0 / (double)freq.QuadPart);
  return rc == 0 ? 0 : 1;
}
