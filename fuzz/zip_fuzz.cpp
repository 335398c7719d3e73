// Zip archives as they may come from the network: the end record, the Zip64
// records, the central directory and the local headers, and the name rules
// applied to every stored name.
//
// Properties: every entry the directory lists lies before the directory, and
// located data ends within the file.
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include "fuzz_support.h"
#include "names.h"
#include "zip_format.h"

namespace {

class MemorySource : public svzip::ByteSource {
 public:
  MemorySource(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  uint64_t Size() const override { return size_; }
  bool ReadAt(uint64_t offset, void* buffer, size_t count) override {
    if (offset > size_ || count > size_ - offset) return false;
    if (count) memcpy(buffer, data_ + offset, count);
    return true;
  }

 private:
  const uint8_t* data_;
  size_t size_;
};

// Local headers visited by one walk at most (the walk also ends by itself).
const int kMaxVisits = 4096;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  MemorySource source(data, size);
  svzip::ZipDirectory dir;
  if (svzip::ReadDirectory(source, &dir)) {
    FUZZ_CHECK(dir.centralOffset <= size);
    for (const svzip::ZipEntry& e : dir.entries) {
      FUZZ_CHECK(e.localOffset < dir.centralOffset);
      FUZZ_CHECK(dir.centralOffset - e.localOffset >= svzip::kLocalHeaderSize);
      uint64_t at = 0;
      if (svzip::LocateData(source, e, &at)) {
        FUZZ_CHECK(at <= size);
        FUZZ_CHECK(e.compressedSize <= size - at);
      }
      svzip::IsSafeRelativePath(e.rawName);
      svzip::StaysInside(e.rawName);
      svzip::PathMaskMatch("*\\*.t?t", e.rawName);
      svzip::MaskMatch(e.rawName, "name.txt");
    }
  }
  int visits = 0;
  svzip::WalkLocalHeaders(source, [&](const std::string& name, uint16_t) {
    FUZZ_CHECK(name.size() <= 256);
    svzip::IsSafeRelativePath(name);
    return ++visits >= kMaxVisits;
  });
  return 0;
}
