// The two phases of a program backup, run on a worker thread each: listing
// the program folder into the list file, then packing every listed file into
// the archive through the packing library's ZipFiles. The counters and the
// current file are shared with the window's timer under one lock; the cancel
// flag is written by the window and polled at every step.
#pragma once

#include <windows.h>
#include <stdint.h>

#include <atomic>
#include <string>

#include "win_handles.h"

namespace dump {

using ZipFilesProc = int32_t(__stdcall*)(const char* archive, const char* files);

// Results of a phase besides the packer's own non-zero codes.
enum : int32_t {
  kPhaseOk = 0,
  kPhaseListUnreadable = -100,  // the list file cannot be read or a line is malformed
  kPhaseCopyFailed = -101,      // a file could not be copied under its flat name
  kPhaseListWriteFailed = -102,
};

struct Progress {
  int64_t totalFiles = 0, totalBytes = 0;
  int64_t doneFiles = 0, doneBytes = 0;
  std::string currentFile;
};

class DumpWork {
 public:
  // programFolder ends in "\".
  void Prepare(std::string programFolder, std::string baseName, std::string listPath);

  // Phase 1: walks the program folder and writes the list file (already
  // created and handed over) line by line.
  int32_t ListFolder(HANDLE listFile);
  // Phase 2: packs the list file, then every listed file, into base + ".dump".
  int32_t PackFiles(ZipFilesProc zipFiles);

  Progress Snapshot();
  void Cancel() { cancel_ = true; }
  bool Cancelled() const { return cancel_; }
  void ResetCounters();

  const std::string& BaseName() const { return base_; }
  std::string ArchivePath() const;
  std::string ScratchFolder() const;

 private:
  bool ListTree(HANDLE listFile, const std::string& relative, std::string* pending);

  std::string folder_, base_, listPath_;
  sv::CriticalSection lock_;
  Progress progress_;
  std::atomic<bool> cancel_{false};
};

// Percentage of the done bytes, 100 when there is nothing to pack.
int ProgressPercent(int64_t doneBytes, int64_t totalBytes);

}  // namespace dump
