#include "zip_writer.h"

#include <string.h>

#include <algorithm>

#include "zip_engine.h"
#include "zlib.h"

namespace svzip {

namespace {

const uint64_t kLimit = 0xFFFFFFFFull;
// Files up to this size are read, packed and written in one piece, so that
// their header needs no second write; larger ones are streamed.
const uint64_t kWholeFile = 16u << 20;
const uint16_t kMadeBy = 0x0014;  // MS-DOS/Windows host, format 2.0

}  // namespace

struct ArchiveWriter::Deflater {
  z_stream z;
  bool ready = false;
  explicit Deflater(int level) {
    memset(&z, 0, sizeof z);
    ready = deflateInit2(&z, level, Z_DEFLATED, -MAX_WBITS, 9, Z_DEFAULT_STRATEGY) == Z_OK;
  }
  ~Deflater() {
    if (ready) deflateEnd(&z);
  }
};

ArchiveWriter::ArchiveWriter(int level) : level_(std::max(0, std::min(9, level))), deflater_(nullptr) {
  if (level_ > 0) deflater_ = new Deflater(level_);
}

ArchiveWriter::~ArchiveWriter() { delete deflater_; }

int32_t ArchiveWriter::WriteLocalAndCentral(const std::string& name, bool utf8, uint16_t method, uint32_t crc,
                                            uint64_t compressed, uint64_t size, uint32_t dosTime,
                                            uint32_t attributes, uint64_t* headerPos) {
  if (compressed > kLimit || size > kLimit || out_.Position() > kLimit || name.size() > 0xFFFF)
    return kSvZipErrTooLarge;
  const uint16_t flags = utf8 ? kFlagUtf8 : 0;
  const uint16_t needed = method == kMethodDeflated || name.back() == '/' ? 20 : 10;
  *headerPos = out_.Position();
  unsigned char h[kLocalHeaderSize];
  Put32(h, kLocalSig);
  Put16(h + 4, needed);
  Put16(h + 6, flags);
  Put16(h + 8, method);
  Put32(h + 10, dosTime);
  Put32(h + 14, crc);
  Put32(h + 18, (uint32_t)compressed);
  Put32(h + 22, (uint32_t)size);
  Put16(h + 26, (uint16_t)name.size());
  Put16(h + 28, 0);
  if (!out_.Write(h, sizeof h) || !out_.Write(name.data(), name.size())) return kSvZipErrWrite;

  std::string c(kCentralHeaderSize, '\0');
  unsigned char* p = (unsigned char*)&c[0];
  Put32(p, kCentralSig);
  Put16(p + 4, kMadeBy);
  Put16(p + 6, needed);
  Put16(p + 8, flags);
  Put16(p + 10, method);
  Put32(p + 12, dosTime);
  Put32(p + 16, crc);
  Put32(p + 20, (uint32_t)compressed);
  Put32(p + 24, (uint32_t)size);
  Put16(p + 28, (uint16_t)name.size());
  Put32(p + 38, attributes);
  Put32(p + 42, (uint32_t)*headerPos);
  c += name;
  central_.push_back(std::move(c));
  return 0;
}

int32_t ArchiveWriter::AddNew(const AddSource& source) {
  if (source.folder) {
    WIN32_FILE_ATTRIBUTE_DATA info;
    uint32_t dosTime = 0x00210000;
    if (GetFileAttributesExW(source.path.c_str(), GetFileExInfoStandard, &info))
      dosTime = DosTimeOf(info.ftLastWriteTime);
    bool utf8 = false;
    std::string name = EncodeName(source.name, &utf8) + "/";
    uint64_t pos;
    return WriteLocalAndCentral(name, utf8, kMethodStored, 0, 0, 0, dosTime, FILE_ATTRIBUTE_DIRECTORY, &pos);
  }
  HANDLE file = CreateFileW(source.path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) return kSvZipErrRead;
  BY_HANDLE_FILE_INFORMATION info;
  int32_t rc = kSvZipErrRead;
  if (GetFileInformationByHandle(file, &info)) {
    uint64_t size = ((uint64_t)info.nFileSizeHigh << 32) | info.nFileSizeLow;
    rc = WriteFileEntry(source, file, size, info.ftLastWriteTime, info.dwFileAttributes & 0xFF);
  }
  CloseHandle(file);
  return rc;
}

static bool ReadFully(HANDLE file, char* buffer, size_t count) {
  while (count > 0) {
    DWORD got = 0, chunk = count > (1u << 30) ? (1u << 30) : (DWORD)count;
    if (!ReadFile(file, buffer, chunk, &got, nullptr) || got == 0) return false;
    buffer += got;
    count -= got;
  }
  return true;
}

int32_t ArchiveWriter::WriteFileEntry(const AddSource& source, HANDLE file, uint64_t size,
                                      const FILETIME& written, DWORD attributes) {
  if (size > kLimit) return kSvZipErrTooLarge;
  bool utf8 = false;
  const std::string name = EncodeName(source.name, &utf8);
  const uint32_t dosTime = DosTimeOf(written);
  uint64_t headerPos = 0;

  if (size <= kWholeFile) {
    // Whole file at once: pack into memory, keep whichever form is smaller.
    in_.resize((size_t)size);
    if (size && !ReadFully(file, in_.data(), (size_t)size)) return kSvZipErrRead;
    const uint32_t crc = (uint32_t)crc32(crc32(0L, Z_NULL, 0), (const Bytef*)in_.data(), (uInt)size);
    uint16_t method = kMethodStored;
    const char* data = in_.data();
    uint64_t stored = size;
    if (deflater_ && size > 0) {
      if (!deflater_->ready) return kSvZipErrException;
      z_stream& z = deflater_->z;
      deflateReset(&z);
      packed_.resize(deflateBound(&z, (uLong)size));
      z.next_in = (Bytef*)in_.data();
      z.avail_in = (uInt)size;
      z.next_out = (Bytef*)packed_.data();
      z.avail_out = (uInt)packed_.size();
      if (deflate(&z, Z_FINISH) != Z_STREAM_END) return kSvZipErrException;
      if (z.total_out < size) {
        method = kMethodDeflated;
        data = packed_.data();
        stored = z.total_out;
      }
    }
    int32_t rc = WriteLocalAndCentral(name, utf8, method, crc, stored, size, dosTime, attributes, &headerPos);
    if (rc) return rc;
    return out_.Write(data, (size_t)stored) ? 0 : kSvZipErrWrite;
  }

  // Large file: stream it through deflate, then fill in the header; when
  // deflate gained nothing, write the file again stored.
  int32_t rc = WriteLocalAndCentral(name, utf8, kMethodDeflated, 0, 0, size, dosTime, attributes, &headerPos);
  if (rc) return rc;
  const uint64_t dataStart = out_.Position();
  in_.resize(kIoBlock);
  packed_.resize(kIoBlock);
  uLong crc = crc32(0L, Z_NULL, 0);
  uint64_t left = size;
  uint16_t method = kMethodDeflated;
  if (deflater_) {
    if (!deflater_->ready) return kSvZipErrException;
    z_stream& z = deflater_->z;
    deflateReset(&z);
    int zr = Z_OK;
    while (zr != Z_STREAM_END) {
      if (z.avail_in == 0 && left > 0) {
        size_t n = (size_t)std::min<uint64_t>(left, kIoBlock);
        if (!ReadFully(file, in_.data(), n)) return kSvZipErrRead;
        crc = crc32(crc, (const Bytef*)in_.data(), (uInt)n);
        left -= n;
        z.next_in = (Bytef*)in_.data();
        z.avail_in = (uInt)n;
      }
      z.next_out = (Bytef*)packed_.data();
      z.avail_out = (uInt)packed_.size();
      zr = deflate(&z, left == 0 ? Z_FINISH : Z_NO_FLUSH);
      if (zr == Z_STREAM_ERROR) return kSvZipErrException;
      if (!out_.Write(packed_.data(), packed_.size() - z.avail_out)) return kSvZipErrWrite;
    }
  }
  uint64_t compressed = out_.Position() - dataStart;
  if (!deflater_ || compressed >= size) {
    method = kMethodStored;
    if (!out_.Truncate(dataStart)) return kSvZipErrWrite;
    LARGE_INTEGER zero;
    zero.QuadPart = 0;
    if (!SetFilePointerEx(file, zero, nullptr, FILE_BEGIN)) return kSvZipErrRead;
    crc = crc32(0L, Z_NULL, 0);
    for (left = size; left > 0;) {
      size_t n = (size_t)std::min<uint64_t>(left, kIoBlock);
      if (!ReadFully(file, in_.data(), n)) return kSvZipErrRead;
      crc = crc32(crc, (const Bytef*)in_.data(), (uInt)n);
      if (!out_.Write(in_.data(), n)) return kSvZipErrWrite;
      left -= n;
    }
    compressed = size;
  }
  if (compressed > kLimit) return kSvZipErrTooLarge;
  unsigned char fix[16];
  Put16(fix, method);
  Put32(fix + 4, (uint32_t)crc);
  Put32(fix + 8, (uint32_t)compressed);
  if (!out_.Patch(headerPos + 8, fix, 2) || !out_.Patch(headerPos + 14, fix + 4, 8)) return kSvZipErrWrite;
  unsigned char* c = (unsigned char*)&central_.back()[0];
  Put16(c + 6, method == kMethodDeflated ? 20 : 10);
  Put16(c + 10, method);
  Put32(c + 16, (uint32_t)crc);
  Put32(c + 20, (uint32_t)compressed);
  if (method == kMethodStored) {
    unsigned char needed[2];
    Put16(needed, 10);
    if (!out_.Patch(headerPos + 4, needed, 2)) return kSvZipErrWrite;
  }
  return 0;
}

int32_t ArchiveWriter::CopyEntry(FileSource& from, const ZipEntry& entry) {
  if (entry.zip64 || entry.centralRecord.size() < kCentralHeaderSize) return kSvZipErrTooLarge;
  uint64_t dataOffset = 0;
  if (!LocateData(from, entry, &dataOffset)) return kSvZipErrFormat;
  if (out_.Position() > kLimit) return kSvZipErrTooLarge;

  std::string c = entry.centralRecord;
  unsigned char* p = (unsigned char*)&c[0];
  const uint16_t flags = (uint16_t)(entry.flags & ~kFlagDescriptor);
  Put16(p + 8, flags);
  Put32(p + 42, (uint32_t)out_.Position());

  unsigned char h[kLocalHeaderSize];
  Put32(h, kLocalSig);
  Put16(h + 4, Get16(p + 6));
  Put16(h + 6, flags);
  Put16(h + 8, entry.method);
  Put32(h + 10, entry.dosTime);
  Put32(h + 14, entry.crc);
  Put32(h + 18, (uint32_t)entry.compressedSize);
  Put32(h + 22, (uint32_t)entry.size);
  Put16(h + 26, (uint16_t)entry.rawName.size());
  Put16(h + 28, 0);
  if (!out_.Write(h, sizeof h) || !out_.Write(entry.rawName.data(), entry.rawName.size())) return kSvZipErrWrite;
  in_.resize(kIoBlock);
  for (uint64_t left = entry.compressedSize; left > 0;) {
    size_t n = (size_t)std::min<uint64_t>(left, kIoBlock);
    if (!from.ReadAt(dataOffset, in_.data(), n)) return kSvZipErrFormat;
    if (!out_.Write(in_.data(), n)) return kSvZipErrWrite;
    dataOffset += n;
    left -= n;
  }
  central_.push_back(std::move(c));
  return 0;
}

int32_t ArchiveWriter::WriteDirectory(const std::string& comment) {
  if (central_.size() > 0xFFFF) return kSvZipErrTooLarge;
  const uint64_t start = out_.Position();
  for (const std::string& record : central_)
    if (!out_.Write(record.data(), record.size())) return kSvZipErrWrite;
  const uint64_t length = out_.Position() - start;
  if (start > kLimit || length > kLimit) return kSvZipErrTooLarge;
  unsigned char e[kEndSize];
  memset(e, 0, sizeof e);
  Put32(e, kEndSig);
  Put16(e + 8, (uint16_t)central_.size());
  Put16(e + 10, (uint16_t)central_.size());
  Put32(e + 12, (uint32_t)length);
  Put32(e + 16, (uint32_t)start);
  const std::string text = comment.substr(0, 0xFFFF);
  Put16(e + 20, (uint16_t)text.size());
  if (!out_.Write(e, sizeof e) || !out_.Write(text.data(), text.size())) return kSvZipErrWrite;
  return 0;
}

}  // namespace svzip
