#include "zip_format.h"

#include <string.h>

#include "zlib.h"

namespace svzip {

namespace {

const uint32_t kMaxComment = 0xFFFF;

// Whether `count` bytes from `start` end at or before `limit`, without
// forming start + count (which can wrap around 64 bits).
bool FitsBefore(uint64_t start, uint64_t count, uint64_t limit) { return start <= limit && count <= limit - start; }

// Finds the end record: the last signature whose comment length reaches
// exactly (or, for tools that pad, at most) to the end of the file.
bool FindEnd(ByteSource& source, uint64_t* endPos, unsigned char record[kEndSize]) {
  const uint64_t size = source.Size();
  if (size < kEndSize) return false;
  const uint64_t span = size < kEndSize + kMaxComment ? size : kEndSize + kMaxComment;
  std::string tail((size_t)span, '\0');
  if (!source.ReadAt(size - span, &tail[0], tail.size())) return false;
  const unsigned char* bytes = (const unsigned char*)tail.data();
  for (size_t i = tail.size() - kEndSize + 1; i-- > 0;) {
    if (Get32(bytes + i) != kEndSig) continue;
    const uint16_t commentLength = Get16(bytes + i + 20);
    if (i + kEndSize + commentLength > tail.size()) continue;
    *endPos = size - span + i;
    memcpy(record, bytes + i, kEndSize);
    return true;
  }
  return false;
}

// Reads the Zip64 end record pointed to by the locator in front of the end
// record; fills the counts and positions that the plain record could not hold.
bool ReadEnd64(ByteSource& source, uint64_t endPos, uint64_t* entries, uint64_t* centralSize,
               uint64_t* centralOffset, uint64_t* end64Pos) {
  if (endPos < 20) return false;
  unsigned char locator[20];
  if (!source.ReadAt(endPos - 20, locator, sizeof locator) || Get32(locator) != kEnd64LocatorSig) return false;
  uint64_t stated = Get64(locator + 8);
  unsigned char record[56];
  // With data in front of the archive the stated position is off; the record
  // normally sits right before the locator.
  uint64_t candidates[2] = {stated, endPos - 20 >= 56 ? endPos - 20 - 56 : stated};
  for (uint64_t pos : candidates) {
    if (source.ReadAt(pos, record, sizeof record) && Get32(record) == kEnd64Sig) {
      *entries = Get64(record + 32);
      *centralSize = Get64(record + 40);
      *centralOffset = Get64(record + 48);
      *end64Pos = pos;
      return true;
    }
  }
  return false;
}

// Applies the Zip64 extended information field of a central header.
void ApplyExtra(ZipEntry* entry, const unsigned char* extra, size_t length) {
  size_t pos = 0;
  while (pos + 4 <= length) {
    const uint16_t id = Get16(extra + pos);
    const uint16_t size = Get16(extra + pos + 2);
    const unsigned char* data = extra + pos + 4;
    if (pos + 4 + size > length) break;
    if (id == 0x0001) {
      size_t at = 0;
      if (entry->size == 0xFFFFFFFF && at + 8 <= size) entry->size = Get64(data + at), at += 8;
      if (entry->compressedSize == 0xFFFFFFFF && at + 8 <= size) entry->compressedSize = Get64(data + at), at += 8;
      if (entry->localOffset == 0xFFFFFFFF && at + 8 <= size) entry->localOffset = Get64(data + at), at += 8;
      entry->zip64 = true;
    } else if (id == 0x7075 && size >= 5 && data[0] == 1) {
      // Info-ZIP Unicode Path: valid only while it belongs to the stored name.
      const uint32_t nameCrc = Get32(data + 1);
      uLong crc = crc32(0L, (const Bytef*)entry->rawName.data(), (uInt)entry->rawName.size());
      if (crc == nameCrc) entry->unicodeName.assign((const char*)data + 5, size - 5);
    }
    pos += 4 + size;
  }
}

}  // namespace

bool ReadDirectory(ByteSource& source, ZipDirectory* directory) {
  directory->entries.clear();
  uint64_t endPos = 0;
  unsigned char end[kEndSize];
  if (!FindEnd(source, &endPos, end)) return false;

  uint64_t entryCount = Get16(end + 10);
  uint64_t centralSize = Get32(end + 12);
  uint64_t centralOffset = Get32(end + 16);
  uint64_t centralEnd = endPos;  // where the directory should end
  if (Get16(end + 4) != 0 || Get16(end + 6) != 0) {
    if (Get16(end + 4) != 0xFFFF) return false;  // split archives are not read
  }
  uint64_t end64Pos = 0;
  if ((entryCount == 0xFFFF || centralSize == 0xFFFFFFFF || centralOffset == 0xFFFFFFFF) &&
      ReadEnd64(source, endPos, &entryCount, &centralSize, &centralOffset, &end64Pos)) {
    directory->zip64 = true;
    centralEnd = end64Pos;
  }
  const uint16_t commentLength = Get16(end + 20);
  directory->comment.resize(commentLength);
  if (commentLength && !source.ReadAt(endPos + kEndSize, &directory->comment[0], commentLength)) return false;

  if (centralSize > centralEnd) return false;
  const uint64_t actualOffset = centralEnd - centralSize;
  if (actualOffset < centralOffset) return false;  // the directory claims more room than the file has
  directory->prefixBytes = actualOffset - centralOffset;
  directory->centralOffset = actualOffset;

  std::string central((size_t)centralSize, '\0');
  if (centralSize && !source.ReadAt(actualOffset, &central[0], central.size())) return false;
  const unsigned char* bytes = (const unsigned char*)central.data();
  size_t pos = 0;
  // The count of the end record may have wrapped at 65536 without Zip64; the
  // directory's own length decides where it ends.
  while (pos < central.size()) {
    if (pos + kCentralHeaderSize > central.size() || Get32(bytes + pos) != kCentralSig) return false;
    const unsigned char* h = bytes + pos;
    ZipEntry e;
    e.versionMadeBy = Get16(h + 4);
    e.flags = Get16(h + 8);
    e.method = Get16(h + 10);
    e.dosTime = Get32(h + 12);
    e.crc = Get32(h + 16);
    e.compressedSize = Get32(h + 20);
    e.size = Get32(h + 24);
    const size_t nameLength = Get16(h + 28), extraLength = Get16(h + 30), commentLen = Get16(h + 32);
    e.externalAttributes = Get32(h + 38);
    e.localOffset = Get32(h + 42);
    const size_t recordLength = kCentralHeaderSize + nameLength + extraLength + commentLen;
    if (pos + recordLength > central.size()) return false;
    e.rawName.assign((const char*)h + kCentralHeaderSize, nameLength);
    ApplyExtra(&e, h + kCentralHeaderSize + nameLength, extraLength);
    // The local header must lie in front of the directory. A Zip64 offset
    // may be anything, so the sums are never formed where they could wrap.
    if (!FitsBefore(e.localOffset, kLocalHeaderSize, directory->centralOffset - directory->prefixBytes))
      return false;
    e.localOffset += directory->prefixBytes;
    e.centralRecord.assign((const char*)h, recordLength);
    directory->entries.push_back(std::move(e));
    pos += recordLength;
  }
  if (entryCount != directory->entries.size() && entryCount != (directory->entries.size() & 0xFFFF)) return false;
  return true;
}

bool LocateData(ByteSource& source, const ZipEntry& entry, uint64_t* dataOffset) {
  unsigned char h[kLocalHeaderSize];
  if (!source.ReadAt(entry.localOffset, h, sizeof h) || Get32(h) != kLocalSig) return false;
  // The header was read, so localOffset + 30 is within the file and adding the
  // two 16-bit lengths cannot wrap; the compressed size may be anything.
  *dataOffset = entry.localOffset + kLocalHeaderSize + Get16(h + 26) + Get16(h + 28);
  return FitsBefore(*dataOffset, entry.compressedSize, source.Size());
}

}  // namespace svzip
