// A dictionary file on disk as a byte source for the reader: opened when made,
// closed when destroyed, so that no file stays open between two searches.
#pragma once

#include <windows.h>

#include <string>

#include "lex_reader.h"
#include "win_handles.h"

namespace lexikon {

class FileSource : public lex::ByteSource {
 public:
  // Opens `path1251` for reading (others may read and write it); a file that
  // cannot be opened reads as empty.
  explicit FileSource(const std::string& path1251);
  uint64_t Size() override { return size_; }
  bool Read(uint64_t offset, size_t length, std::string* out) override;
  // The time of the file's last write; false for a missing file.
  bool LastWrite(FILETIME* written) const;

 private:
  sv::FileHandle file_;
  uint64_t size_ = 0;
};

// The decoded index, kept between searches and read again only when the
// index file changed (its size or the time of its last write), so that a
// keystroke does not decode the whole index.
class IndexCache {
 public:
  const lex::IndexTable* Get(FileSource& index);

 private:
  bool valid_ = false;
  uint64_t size_ = 0;
  FILETIME written_ = {};
  lex::IndexTable table_;
};

// The dictionary files of the program folder.
std::string DictionaryPath(const char* fileName);

}  // namespace lexikon
