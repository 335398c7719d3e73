#include "zip_writer.h"

#include <string.h>

#include <algorithm>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "win_handles.h"
#include "zip_engine.h"
#include "zlib.h"

namespace svzip {

namespace {

const uint64_t kLimit = 0xFFFFFFFFull;
// Windows NTFS host, format 2.0: DOS attributes, and Info-ZIP unzip does not
// take a UTF-8 name of this host for a DOS code page one (it does so for FAT).
const uint16_t kMadeBy = 0x0B14;
// Files are packed in pieces of this size, each on whichever worker thread
// is free; a piece is deflated with the 32 KB before it as its dictionary
// and ends on a byte boundary (sync flush), so the pieces joined are one
// deflate stream, packed almost as well as in one go.
// A quarter of a megabyte keeps both cores busy also on the files of a few
// hundred kilobytes that programs are mostly made of.
const size_t kPiece = 256u << 10;
const size_t kWindow = 32u << 10;

bool ReadAt(HANDLE file, uint64_t offset, char* buffer, size_t count) {
  OVERLAPPED at;
  memset(&at, 0, sizeof at);
  while (count > 0) {
    at.Offset = (DWORD)offset;
    at.OffsetHigh = (DWORD)(offset >> 32);
    DWORD got = 0;
    if (!ReadFile(file, buffer, (DWORD)count, &got, &at) || got == 0) return false;
    buffer += got;
    offset += got;
    count -= got;
  }
  return true;
}

HANDLE OpenSource(const std::wstring& path) {
  return CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                     FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
}

}  // namespace

struct Deflater {
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

// One piece of a file (or a folder entry) and, once a worker has done it,
// its packed form.
struct PackedEntry {
  size_t item = 0;
  uint64_t offset = 0;
  size_t length = 0;
  bool last = true;
  // Results.
  bool ready = false;
  int32_t rc = 0;
  uint32_t crc = 0;
  std::vector<char> packed, raw;  // raw only for a file of one piece
  uint64_t fileSize = 0;          // first piece: the file's size when it was opened
  uint32_t dosTime = 0x00210000, attributes = 0;
};

namespace {

void PackPiece(Deflater* deflater, const AddSource& source, PackedEntry* p, std::vector<char>& in) {
  if (source.folder) {
    WIN32_FILE_ATTRIBUTE_DATA info;
    if (GetFileAttributesExW(source.path.c_str(), GetFileExInfoStandard, &info))
      p->dosTime = DosTimeOf(info.ftLastWriteTime);
    p->attributes = FILE_ATTRIBUTE_DIRECTORY;
    return;
  }
  sv::Handle owned(OpenSource(source.path));
  if (!owned) {
    p->rc = kSvZipErrRead;
    return;
  }
  const HANDLE file = owned.Get();
  if (p->offset == 0) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(file, &info)) {
      p->rc = kSvZipErrRead;
      return;
    }
    p->fileSize = ((uint64_t)info.nFileSizeHigh << 32) | info.nFileSizeLow;
    p->dosTime = DosTimeOf(info.ftLastWriteTime);
    p->attributes = info.dwFileAttributes & 0xFF;
    if (p->fileSize != source.size) {  // changed since it was listed
      p->rc = kSvZipErrRead;
      return;
    }
  }
  const size_t before = (size_t)std::min<uint64_t>(p->offset, kWindow);
  in.resize(before + p->length);
  if (!in.empty() && !ReadAt(file, p->offset - before, in.data(), in.size())) {
    p->rc = kSvZipErrRead;
    return;
  }
  const char* data = in.data() + before;
  p->crc = (uint32_t)crc32(crc32(0L, Z_NULL, 0), (const Bytef*)data, (uInt)p->length);
  if (p->last && p->offset == 0) p->raw.assign(data, data + p->length);
  if (!deflater || p->length == 0) return;
  if (!deflater->ready) {
    p->rc = kSvZipErrException;
    return;
  }
  z_stream& z = deflater->z;
  deflateReset(&z);
  if (before) deflateSetDictionary(&z, (const Bytef*)in.data(), (uInt)before);
  p->packed.resize(deflateBound(&z, (uLong)p->length) + 16);
  z.next_in = (Bytef*)data;
  z.avail_in = (uInt)p->length;
  z.next_out = (Bytef*)p->packed.data();
  z.avail_out = (uInt)p->packed.size();
  int zr = deflate(&z, p->last ? Z_FINISH : Z_SYNC_FLUSH);
  if ((p->last && zr != Z_STREAM_END) || (!p->last && (zr != Z_OK || z.avail_in != 0))) {
    p->rc = kSvZipErrException;
    return;
  }
  p->packed.resize(p->packed.size() - z.avail_out);
}

}  // namespace

ArchiveWriter::ArchiveWriter(int level) : level_(std::max(0, std::min(9, level))) {}

ArchiveWriter::~ArchiveWriter() {}

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

int32_t ArchiveWriter::AddNew(const AddSource& source) { return AddAll(std::vector<AddSource>{source}); }

// The pieces of all files are packed on worker threads, a few pieces ahead of
// the writer, which takes them in their order: deflate at level 9 is what
// costs the time, and so every core shares it, also within one large file.
int32_t ArchiveWriter::AddAll(const std::vector<AddSource>& items) {
  std::vector<PackedEntry> pieces;
  for (size_t i = 0; i < items.size(); ++i) {
    const AddSource& item = items[i];
    if (!item.folder && item.size > kLimit) return kSvZipErrTooLarge;
    uint64_t offset = 0;
    do {
      PackedEntry p;
      p.item = i;
      p.offset = offset;
      p.length = item.folder ? 0 : (size_t)std::min<uint64_t>(kPiece, item.size - offset);
      offset += p.length;
      p.last = item.folder || offset >= item.size;
      pieces.push_back(std::move(p));
    } while (!pieces.back().last);
  }

  const unsigned cores = std::thread::hardware_concurrency();
  const size_t workers = std::min<size_t>(std::min<size_t>(std::max(1u, cores), 4), pieces.size());
  const size_t ahead = workers * 3;
  std::mutex m;
  std::condition_variable changed;
  size_t next = 0, taken = 0;
  bool stop = false;
  auto work = [&] {
    std::unique_ptr<Deflater> deflater(level_ > 0 ? new Deflater(level_) : nullptr);
    std::vector<char> in;
    for (;;) {
      size_t i;
      {
        std::unique_lock<std::mutex> lock(m);
        changed.wait(lock, [&] { return stop || next >= pieces.size() || next < taken + ahead; });
        if (stop || next >= pieces.size()) return;
        i = next++;
      }
      PackedEntry& p = pieces[i];  // this worker's alone until it is marked ready
      try {
        PackPiece(deflater.get(), items[p.item], &p, in);
      } catch (...) {
        p.rc = kSvZipErrException;  // out of memory
      }
      std::lock_guard<std::mutex> lock(m);
      p.ready = true;
      changed.notify_all();
    }
  };
  std::vector<std::thread> threads;
  for (size_t t = 0; t < workers; ++t) threads.emplace_back(work);

  // Waits for piece i and hands it to the writer; frees what it took.
  auto take = [&](size_t i) -> PackedEntry& {
    std::unique_lock<std::mutex> lock(m);
    changed.wait(lock, [&] { return pieces[i].ready; });
    return pieces[i];
  };
  auto done = [&](size_t i) {
    std::lock_guard<std::mutex> lock(m);
    std::vector<char>().swap(pieces[i].packed);
    std::vector<char>().swap(pieces[i].raw);
    taken = i + 1;
    changed.notify_all();
  };

  int32_t rc = 0;
  for (size_t i = 0; i < pieces.size() && rc == 0;) {
    const AddSource& item = items[pieces[i].item];
    bool utf8 = false;
    std::string name = EncodeName(item.name, &utf8);
    if (item.folder) name += "/";
    PackedEntry& first = take(i);
    if ((rc = first.rc) != 0) break;
    uint64_t headerPos = 0;
    if (first.last) {
      // One piece: the smaller of deflated and stored, header written once.
      const bool deflated = level_ > 0 && !item.folder && first.packed.size() < first.length;
      const std::vector<char>& data = deflated ? first.packed : first.raw;
      rc = WriteLocalAndCentral(name, utf8, deflated ? kMethodDeflated : kMethodStored, first.crc, data.size(),
                                first.length, first.dosTime, first.attributes, &headerPos);
      if (rc == 0 && !out_.Write(data.data(), data.size())) rc = kSvZipErrWrite;
      done(i++);
      continue;
    }
    // Several pieces: header first, sizes filled in at the end.
    rc = WriteLocalAndCentral(name, utf8, kMethodDeflated, 0, 0, item.size, first.dosTime, first.attributes,
                              &headerPos);
    const uint64_t dataStart = out_.Position();
    uLong crc = crc32(0L, Z_NULL, 0);
    for (bool last = false; rc == 0 && !last; ++i) {
      PackedEntry& p = take(i);
      last = p.last;
      if ((rc = p.rc) != 0) break;
      crc = crc32_combine(crc, p.crc, (z_off_t)p.length);
      if (!out_.Write(p.packed.data(), p.packed.size())) rc = kSvZipErrWrite;
      done(i);
    }
    if (rc == 0) rc = FinishLarge(item, headerPos, dataStart, (uint32_t)crc);
  }
  {
    std::lock_guard<std::mutex> lock(m);
    stop = true;
    changed.notify_all();
  }
  for (std::thread& t : threads) t.join();
  return rc;
}

// Fills in the header of a file written in pieces; when deflate gained
// nothing, writes the file again, stored.
int32_t ArchiveWriter::FinishLarge(const AddSource& item, uint64_t headerPos, uint64_t dataStart, uint32_t crc) {
  uint64_t compressed = out_.Position() - dataStart;
  uint16_t method = kMethodDeflated;
  if (compressed >= item.size) {
    method = kMethodStored;
    if (!out_.Truncate(dataStart)) return kSvZipErrWrite;
    sv::Handle file(OpenSource(item.path));
    if (!file) return kSvZipErrRead;
    std::vector<char> block(kIoBlock);
    uLong check = crc32(0L, Z_NULL, 0);
    int32_t rc = 0;
    for (uint64_t offset = 0; rc == 0 && offset < item.size;) {
      size_t n = (size_t)std::min<uint64_t>(item.size - offset, block.size());
      if (!ReadAt(file.Get(), offset, block.data(), n)) rc = kSvZipErrRead;
      else if (!out_.Write(block.data(), n)) rc = kSvZipErrWrite;
      check = crc32(check, (const Bytef*)block.data(), (uInt)n);
      offset += n;
    }
    file.Reset();
    if (rc) return rc;
    if ((uint32_t)check != crc) return kSvZipErrRead;  // the file changed while it was packed
    compressed = item.size;
  }
  if (compressed > kLimit) return kSvZipErrTooLarge;
  const uint16_t needed = method == kMethodDeflated ? 20 : 10;
  unsigned char fix[16];
  Put16(fix, needed);
  Put16(fix + 2, method);
  Put32(fix + 4, crc);
  Put32(fix + 8, (uint32_t)compressed);
  if (!out_.Patch(headerPos + 4, fix, 2) || !out_.Patch(headerPos + 8, fix + 2, 2) ||
      !out_.Patch(headerPos + 14, fix + 4, 8))
    return kSvZipErrWrite;
  unsigned char* c = (unsigned char*)&central_.back()[0];
  Put16(c + 6, needed);
  Put16(c + 10, method);
  Put32(c + 16, crc);
  Put32(c + 20, (uint32_t)compressed);
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
