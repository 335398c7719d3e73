// A dictionary file on disk as a byte source for the reader: opened when made,
// closed when destroyed, so that no file stays open between two searches.
#pragma once

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

 private:
  sv::FileHandle file_;
  uint64_t size_ = 0;
};

// The dictionary files of the program folder.
std::string DictionaryPath(const char* fileName);

}  // namespace lexikon
