// MD5 digest texts of strings, buffers, COM streams and files. Streams and
// files are read in blocks, never loaded whole. A stream or file that cannot
// be read gives the empty text.
#include <windows.h>
#include <objidl.h>

#include <memory>
#include <vector>

#include "SolvikaUtils.h"
#include "guard.h"
#include "md5.h"
#include "svstring.h"
#include "wide.h"
#include "win_handles.h"

namespace {

const ULONG kStreamBlock = 64 * 1024;
const DWORD kFileBlock = 1024 * 1024;

SvStr DigestOf(const void* data, size_t n) { return sv::NewStr(utils::Md5::Of(data, n)); }

// Seeks a stream back to where it was when the guard was made, on every way
// out of the digest.
class KeepPosition {
 public:
  KeepPosition(IStream* s, ULARGE_INTEGER at) : s_(s), at_(at) {}
  ~KeepPosition() {
    LARGE_INTEGER to;
    to.QuadPart = (LONGLONG)at_.QuadPart;
    s_->Seek(to, STREAM_SEEK_SET, nullptr);
  }

 private:
  IStream* s_;
  ULARGE_INTEGER at_;
};

SvStr StreamDigest(IStream* stream) {
  if (!stream) return nullptr;
  LARGE_INTEGER zero;
  zero.QuadPart = 0;
  ULARGE_INTEGER position, size;
  if (FAILED(stream->Seek(zero, STREAM_SEEK_CUR, &position))) return nullptr;
  KeepPosition keep(stream, position);
  if (FAILED(stream->Seek(zero, STREAM_SEEK_END, &size))) return nullptr;
  if (FAILED(stream->Seek(zero, STREAM_SEEK_SET, nullptr))) return nullptr;

  std::vector<uint8_t> block(kStreamBlock);
  utils::Md5 md5;
  uint64_t total = 0;
  while (total < size.QuadPart) {
    ULONG got = 0;
    HRESULT hr = stream->Read(block.data(), kStreamBlock, &got);
    // A failed read must not pass off a digest of part of the content.
    if (FAILED(hr)) return nullptr;
    if (got == 0) break;
    md5.Update(block.data(), got);
    total += got;
  }
  return sv::NewStr(md5.HexDigest());
}

SvStr FileDigest(const char* fileName) {
  if (!fileName || !*fileName) return nullptr;
  sv::Handle f(CreateFileW(sv::Wide(fileName).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!f.Valid()) return nullptr;
  LARGE_INTEGER size;
  if (!GetFileSizeEx(f.Get(), &size)) return nullptr;

  std::unique_ptr<uint8_t[]> block(new uint8_t[kFileBlock]);
  utils::Md5 md5;
  uint64_t left = (uint64_t)size.QuadPart;
  // The content is the bytes up to the size the file had when it was opened.
  while (left) {
    DWORD want = left < kFileBlock ? (DWORD)left : kFileBlock;
    DWORD got = 0;
    if (!ReadFile(f.Get(), block.get(), want, &got, nullptr)) return nullptr;
    if (got == 0) break;
    md5.Update(block.get(), got);
    left -= got;
  }
  return sv::NewStr(md5.HexDigest());
}

}  // namespace

SVU_API SvStr SVAPI MD5(SvStr text) {
  return sv::Guard<SvStr>(nullptr, [&] { return DigestOf(text, (size_t)sv::Length(text)); });
}

SVU_API SvStr SVAPI MD5String(SvStr text) {
  return sv::Guard<SvStr>(nullptr, [&] { return DigestOf(text, (size_t)sv::Length(text)); });
}

SVU_API SvStr SVAPI MD5Buffer(const void* data, int32_t count) {
  return sv::Guard<SvStr>(nullptr, [&] {
    if (!data || count < 0) count = 0;
    return DigestOf(data, (size_t)count);
  });
}

SVU_API SvStr SVAPI MD5Stream(IStream* stream) {
  return sv::Guard<SvStr>(nullptr, [&] { return StreamDigest(stream); });
}

SVU_API SvStr SVAPI MD5File(const char* fileName) {
  return sv::Guard<SvStr>(nullptr, [&] { return FileDigest(fileName); });
}
