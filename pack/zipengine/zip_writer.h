// Writing zip archives: new entries (deflated, or stored when deflate does
// not make them smaller), entries copied from an existing archive, and the
// central directory with its end record. Plain (not Zip64) archives: every
// size and offset must stay below 4 GB.
#pragma once

#include <string>
#include <vector>

#include "win_io.h"
#include "zip_format.h"

namespace svzip {

// A file or folder to be added, with the name it gets in the archive.
struct AddSource {
  std::wstring path;  // full path on disk
  std::wstring name;  // stored name, "/" between levels, no trailing "/"
  bool folder = false;
  uint64_t size = 0;  // file size when it was listed
};

struct Deflater;
struct PackedEntry;

class ArchiveWriter {
 public:
  explicit ArchiveWriter(int level);
  ~ArchiveWriter();
  ArchiveWriter(const ArchiveWriter&) = delete;
  ArchiveWriter& operator=(const ArchiveWriter&) = delete;

  FileWriter& Out() { return out_; }

  // Writes a new entry for a file or folder; returns 0 or an engine error.
  int32_t AddNew(const AddSource& source);
  // Writes new entries for all of them, in their order (packed on several
  // threads); stops at the first error.
  int32_t AddAll(const std::vector<AddSource>& sources);
  // Copies an entry of `from` unchanged in its data; its local header is
  // written afresh (without a data descriptor).
  int32_t CopyEntry(FileSource& from, const ZipEntry& entry);
  // Keeps the central record of an entry that stays where it is (appending).
  void KeepCentral(const std::string& record) { central_.push_back(record); }
  // Writes the central directory and the end record.
  int32_t WriteDirectory(const std::string& comment);

 private:
  int32_t FinishLarge(const AddSource& item, uint64_t headerPos, uint64_t dataStart, uint32_t crc);
  int32_t WriteLocalAndCentral(const std::string& name, bool utf8, uint16_t method, uint32_t crc,
                               uint64_t compressed, uint64_t size, uint32_t dosTime, uint32_t attributes,
                               uint64_t* headerPos);

  int level_;
  FileWriter out_;
  std::vector<std::string> central_;
  std::vector<char> in_;  // reusable buffer
};

}  // namespace svzip
