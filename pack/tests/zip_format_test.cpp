// The zip directory reader against hand-made archives whose Zip64 fields
// point far outside the file.
#include <gtest/gtest.h>

#include <stdint.h>

#include <string>

#include "zip_format.h"

namespace {

class MemorySource : public svzip::ByteSource {
 public:
  explicit MemorySource(std::string bytes) : bytes_(std::move(bytes)) {}
  uint64_t Size() const override { return bytes_.size(); }
  bool ReadAt(uint64_t offset, void* buffer, size_t count) override {
    if (offset > bytes_.size() || count > bytes_.size() - offset) return false;
    memcpy(buffer, bytes_.data() + offset, count);
    return true;
  }

 private:
  std::string bytes_;
};

void Add16(std::string* s, uint16_t v) {
  s->push_back((char)(v & 0xFF));
  s->push_back((char)(v >> 8));
}
void Add32(std::string* s, uint32_t v) {
  Add16(s, (uint16_t)v);
  Add16(s, (uint16_t)(v >> 16));
}
void Add64(std::string* s, uint64_t v) {
  Add32(s, (uint32_t)v);
  Add32(s, (uint32_t)(v >> 32));
}

const uint32_t kZip64Marker = 0xFFFFFFFF;

// One stored entry "a" holding "x"; with `zip64Offset` the central header's
// offset comes from a Zip64 field with that value.
std::string Archive(bool useZip64Offset, uint64_t zip64Offset) {
  std::string z;
  Add32(&z, svzip::kLocalSig);
  Add16(&z, 10);  // version needed
  Add16(&z, 0);   // flags
  Add16(&z, svzip::kMethodStored);
  Add32(&z, 0);   // time and date
  Add32(&z, 0x8CDC1683);  // crc32("x")
  Add32(&z, 1);
  Add32(&z, 1);
  Add16(&z, 1);   // name length
  Add16(&z, 0);   // extra length
  z += "a";
  z += "x";
  const uint32_t central = (uint32_t)z.size();
  Add32(&z, svzip::kCentralSig);
  Add16(&z, 20);
  Add16(&z, 10);
  Add16(&z, 0);
  Add16(&z, svzip::kMethodStored);
  Add32(&z, 0);
  Add32(&z, 0x8CDC1683);
  Add32(&z, 1);
  Add32(&z, 1);
  Add16(&z, 1);
  Add16(&z, useZip64Offset ? 12 : 0);
  Add16(&z, 0);  // comment
  Add16(&z, 0);  // disk
  Add16(&z, 0);  // internal attributes
  Add32(&z, 0);  // external attributes
  Add32(&z, useZip64Offset ? kZip64Marker : 0);
  z += "a";
  if (useZip64Offset) {
    Add16(&z, 0x0001);
    Add16(&z, 8);
    Add64(&z, zip64Offset);
  }
  const uint32_t centralSize = (uint32_t)z.size() - central;
  Add32(&z, svzip::kEndSig);
  Add16(&z, 0);
  Add16(&z, 0);
  Add16(&z, 1);
  Add16(&z, 1);
  Add32(&z, centralSize);
  Add32(&z, central);
  Add16(&z, 0);
  return z;
}

}  // namespace

TEST(ZipFormat, Zip64OffsetsThatWrapAreRejected) {
  // The plain archive and one whose Zip64 offset is the true one read alike.
  for (bool zip64 : {false, true}) {
    MemorySource source(Archive(zip64, 0));
    svzip::ZipDirectory dir;
    ASSERT_TRUE(svzip::ReadDirectory(source, &dir)) << zip64;
    ASSERT_EQ(1u, dir.entries.size());
    uint64_t data = 0;
    ASSERT_TRUE(svzip::LocateData(source, dir.entries[0], &data));
    EXPECT_EQ(svzip::kLocalHeaderSize + 1, data);
  }
  // Offsets near 2^64, where offset + header size wraps to a small number in
  // front of the directory.
  for (uint64_t offset : {UINT64_MAX - 15, UINT64_MAX - 29, UINT64_MAX, (uint64_t)1 << 63}) {
    MemorySource source(Archive(true, offset));
    svzip::ZipDirectory dir;
    EXPECT_FALSE(svzip::ReadDirectory(source, &dir)) << offset;
  }
}

TEST(ZipFormat, CompressedSizeThatWrapsDoesNotLocateData) {
  MemorySource source(Archive(false, 0));
  svzip::ZipDirectory dir;
  ASSERT_TRUE(svzip::ReadDirectory(source, &dir));
  svzip::ZipEntry entry = dir.entries[0];
  uint64_t data = 0;
  for (uint64_t size : {UINT64_MAX, UINT64_MAX - svzip::kLocalHeaderSize, (uint64_t)source.Size()}) {
    entry.compressedSize = size;
    EXPECT_FALSE(svzip::LocateData(source, entry, &data)) << size;
  }
  // Data that ends exactly at the end of the file is in range.
  entry.compressedSize = source.Size() - (svzip::kLocalHeaderSize + 1);
  EXPECT_TRUE(svzip::LocateData(source, entry, &data));
}
