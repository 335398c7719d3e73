// Restoring a program backup: the archive "<name>.dump" beside the extractor
// holds the list file and every program file (files of sub-folders and names
// with "~" under their flat names). Each listed file is written under its
// original path below the target folder and checked against its listed size.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

namespace restore {

struct Report {
  bool archiveRead = false;  // the archive and its list file could be read
  int64_t restored = 0;      // files written with the listed size
  std::vector<std::string> failed;  // relative paths that could not be restored
  bool Complete() const { return archiveRead && failed.empty(); }
};

// archive and target are Windows-1251 paths; target may lack its final "\".
Report RestoreBackup(const std::string& archive, const std::string& target);

// The archive that belongs to the running extractor: its own path with
// ".dump" in place of ".exe".
std::string ArchiveBesideExecutable();

// The result as the user reads it (Windows-1251).
std::string ReportText(const Report& report, const std::string& target);

}  // namespace restore
