// Reading the PKWARE zip format: the central directory (with the Zip64 end
// records and archives that carry data in front, such as self-extractors) and
// the local headers. No Windows API here: the bytes come through ByteSource.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

namespace svzip {

const uint32_t kLocalSig = 0x04034B50;
const uint32_t kCentralSig = 0x02014B50;
const uint32_t kEndSig = 0x06054B50;
const uint32_t kEnd64Sig = 0x06064B50;
const uint32_t kEnd64LocatorSig = 0x07064B50;
const uint32_t kDescriptorSig = 0x08074B50;

const size_t kLocalHeaderSize = 30;
const size_t kCentralHeaderSize = 46;
const size_t kEndSize = 22;

const uint16_t kFlagEncrypted = 0x0001;
const uint16_t kFlagDescriptor = 0x0008;
const uint16_t kFlagUtf8 = 0x0800;

const uint16_t kMethodStored = 0;
const uint16_t kMethodDeflated = 8;

inline uint16_t Get16(const unsigned char* p) { return (uint16_t)(p[0] | (p[1] << 8)); }
inline uint32_t Get32(const unsigned char* p) { return (uint32_t)Get16(p) | ((uint32_t)Get16(p + 2) << 16); }
inline uint64_t Get64(const unsigned char* p) { return (uint64_t)Get32(p) | ((uint64_t)Get32(p + 4) << 32); }
inline void Put16(unsigned char* p, uint16_t v) {
  p[0] = (unsigned char)v;
  p[1] = (unsigned char)(v >> 8);
}
inline void Put32(unsigned char* p, uint32_t v) {
  Put16(p, (uint16_t)v);
  Put16(p + 2, (uint16_t)(v >> 16));
}

// Random access to the archive's bytes.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual uint64_t Size() const = 0;
  // Reads exactly `count` bytes at `offset`; false when that is not possible.
  virtual bool ReadAt(uint64_t offset, void* buffer, size_t count) = 0;
};

struct ZipEntry {
  std::string rawName;     // the stored name bytes
  std::string unicodeName; // UTF-8 name of an Info-ZIP Unicode Path field that fits rawName, else empty
  uint16_t versionMadeBy = 0;
  uint16_t flags = 0;
  uint16_t method = 0;
  uint32_t dosTime = 0;    // time in the low, date in the high half
  uint32_t crc = 0;
  uint64_t compressedSize = 0;
  uint64_t size = 0;
  uint64_t localOffset = 0;  // already corrected for data in front of the archive
  uint32_t externalAttributes = 0;
  bool zip64 = false;        // sizes or offset came from a Zip64 field
  std::string centralRecord; // the whole central header with name, extra field and comment

  bool IsFolder() const {
    return !rawName.empty() && (rawName.back() == '/' || rawName.back() == '\\');
  }
  uint8_t Host() const { return (uint8_t)(versionMadeBy >> 8); }
};

struct ZipDirectory {
  std::vector<ZipEntry> entries;
  uint64_t centralOffset = 0;  // where the central directory starts (corrected)
  uint64_t prefixBytes = 0;    // bytes in front of the archive proper
  bool zip64 = false;
  std::string comment;
};

// Reads the end record and the central directory. False when the source is
// not a zip archive or its directory is damaged or cut short.
bool ReadDirectory(ByteSource& source, ZipDirectory* directory);

// Where the data of `entry` starts (after its local header); false when the
// local header is missing or damaged.
bool LocateData(ByteSource& source, const ZipEntry& entry, uint64_t* dataOffset);

// Walks the local headers from the start of the file, as a reader does that
// has no central directory (for archives cut short): calls `visit` with each
// stored name (at most 256 bytes kept) until it returns true or the walk ends.
// Stops at the central directory, at a read that comes short, and at an entry
// whose data would reach beyond the end record's place.
template <class Visit>
void WalkLocalHeaders(ByteSource& source, Visit visit);

}  // namespace svzip

#include "zip_format_walk.h"
