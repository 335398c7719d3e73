// Times one program backup of a folder as the backup window makes it (list,
// then pack through SolvikaPU's ZipFiles), for tools/bench/dump_bench.sh.
//   dump_bench.exe <folder> <backup base name>
#include <windows.h>

#include <stdio.h>

#include "SolvikaPU.h"
#include "dump_format.h"
#include "dump_work.h"
#include "file_io.h"
#include "wide.h"

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  const std::string folder = sv::WithSlash(argv[1]), base = argv[2];
  const std::string list = base + ".list";
  LARGE_INTEGER f, t0, t1;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&t0);
  dump::DumpWork work;
  work.Prepare(folder, base, list);
  sv::Handle file(CreateFileW(sv::Wide(list).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file || work.ListFolder(file.Get()) != 0) return 3;
  file.Reset();
  CreateDirectoryW(sv::Wide(work.ScratchFolder()).c_str(), nullptr);
  int32_t result = work.PackFiles(ZipFiles);
  sv::RemoveFolderTree(work.ScratchFolder());
  QueryPerformanceCounter(&t1);
  DeleteFileW(sv::Wide(list).c_str());
  printf("result=%d files=%lld ms=%.1f\n", result, (long long)work.Snapshot().doneFiles,
         (t1.QuadPart - t0.QuadPart) * 1000.0 / f.QuadPart);
  return result == 0 ? 0 : 1;
}
