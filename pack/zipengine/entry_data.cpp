#include "entry_data.h"

#include <string.h>

#include <algorithm>
#include <memory>

#include "zlib.h"

namespace svzip {

int32_t CheckSupported(const ZipEntry& entry) {
  if (entry.flags & kFlagEncrypted) return kSvZipErrUnsupported;
  if (entry.method != kMethodStored && entry.method != kMethodDeflated) return kSvZipErrUnsupported;
  return 0;
}

namespace {

struct Inflater {
  z_stream z;
  bool ready = false;
  Inflater() {
    memset(&z, 0, sizeof z);
    ready = inflateInit2(&z, -MAX_WBITS) == Z_OK;
  }
  ~Inflater() {
    if (ready) inflateEnd(&z);
  }
};

}  // namespace

int32_t ReadEntryData(FileSource& source, const ZipEntry& entry,
                      const std::function<bool(const char*, size_t)>& sink) {
  int32_t rc = CheckSupported(entry);
  if (rc) return rc;
  uint64_t offset = 0;
  if (!LocateData(source, entry, &offset)) return kSvZipErrFormat;

  uLong crc = crc32(0L, Z_NULL, 0);
  uint64_t produced = 0;
  uint64_t remaining = entry.compressedSize;

  if (entry.method == kMethodStored) {
    if (entry.compressedSize != entry.size) return kSvZipErrCrc;
    std::unique_ptr<char[]> block(new char[kIoBlock]);
    while (remaining > 0) {
      size_t n = (size_t)std::min<uint64_t>(remaining, kIoBlock);
      if (!source.ReadAt(offset, block.get(), n)) return kSvZipErrFormat;
      crc = crc32(crc, (const Bytef*)block.get(), (uInt)n);
      if (!sink(block.get(), n)) return kSvZipErrWrite;
      offset += n;
      remaining -= n;
      produced += n;
    }
  } else {
    Inflater inf;
    if (!inf.ready) return kSvZipErrException;
    std::unique_ptr<char[]> in(new char[kIoBlock]), out(new char[kIoBlock]);
    int zr = Z_OK;
    while (zr != Z_STREAM_END) {
      if (inf.z.avail_in == 0) {
        if (remaining == 0) return kSvZipErrCrc;  // the deflate data ends too early
        size_t n = (size_t)std::min<uint64_t>(remaining, kIoBlock);
        if (!source.ReadAt(offset, in.get(), n)) return kSvZipErrFormat;
        offset += n;
        remaining -= n;
        inf.z.next_in = (Bytef*)in.get();
        inf.z.avail_in = (uInt)n;
      }
      inf.z.next_out = (Bytef*)out.get();
      inf.z.avail_out = (uInt)kIoBlock;
      zr = inflate(&inf.z, Z_NO_FLUSH);
      if (zr != Z_OK && zr != Z_STREAM_END && zr != Z_BUF_ERROR) return kSvZipErrCrc;
      size_t got = kIoBlock - inf.z.avail_out;
      if (zr == Z_BUF_ERROR && got == 0 && inf.z.avail_in != 0) return kSvZipErrCrc;
      if (got) {
        produced += got;
        if (produced > entry.size) return kSvZipErrCrc;
        crc = crc32(crc, (const Bytef*)out.get(), (uInt)got);
        if (!sink(out.get(), got)) return kSvZipErrWrite;
      }
    }
  }
  if (produced != entry.size || (uint32_t)crc != entry.crc) return kSvZipErrCrc;
  return 0;
}

}  // namespace svzip
