// The program backup's own format, shared by the backup window and the
// extractor that restores it: the backup's file names, the flat names under
// which files of sub-folders are stored in the archive, and the list file
// that records every file with its size.
#pragma once

#include <stdint.h>

#include <string>
#include <string_view>
#include <vector>

namespace dump {

constexpr char kExtractorFile[] = "SolvikaDump.dll";
constexpr char kPackingLibrary[] = "SolvikaPU.dll";
// The list file in the temporary folder; the platform drops the trailing dot,
// so the file on disk and its archive entry are named without it.
constexpr char kListFileName[] = "~sv-dumplist.";
constexpr char kListEntryName[] = "~sv-dumplist";
constexpr char kArchiveExtension[] = ".dump";
constexpr char kExtractorExtension[] = ".exe";
constexpr char kScratchExtension[] = ".tmp";

// The target path trimmed and without a trailing ".exe" (any case).
std::string BackupBaseName(std::string_view target);

// Paths of sub-folders and names holding "~" are stored under a flat name:
// "\" and "/" become "~", a "~" becomes "~.~".
bool NeedsFlatName(std::string_view relative);
std::string FlatName(std::string_view relative);
// The archive entry name of a program file: its flat name or its own name.
std::string EntryName(std::string_view relative);

struct ListedFile {
  std::string path;  // relative to the program folder, "\" between folders
  uint64_t size = 0;
};

// One line of the list file: path, tab, size in decimal, CR LF.
std::string ListLine(const ListedFile& file);
// One line without its line break; false when it is malformed.
bool ParseListLine(std::string_view line, ListedFile* file);
// Every line of a list text; false at the first malformed line.
bool ParseList(std::string_view text, std::vector<ListedFile>* files);

}  // namespace dump
