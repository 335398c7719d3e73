// zlib streams (RFC 1950) of whole buffers.
#include <windows.h>

#include <string>

#include "SolvikaPU.h"
#include "guard.h"
#include "svstring.h"
#include "zlib.h"

namespace {

bool Compress(const void* data, size_t length, std::string* out) {
  uLongf bound = compressBound((uLong)length);
  out->resize(bound);
  if (compress((Bytef*)&(*out)[0], &bound, (const Bytef*)data, (uLong)length) != Z_OK) return false;
  out->resize(bound);
  return true;
}

// Inflates a whole zlib stream; false when the input is not one (or is cut
// short). Bytes after the end of the stream are ignored.
bool Decompress(const void* data, size_t length, size_t estimate, std::string* out) {
  z_stream z;
  memset(&z, 0, sizeof z);
  if (inflateInit(&z) != Z_OK) return false;
  out->resize(estimate ? estimate : (length < (1u << 20) ? length * 4 + 64 : length * 2));
  z.next_in = (Bytef*)data;
  z.avail_in = (uInt)length;
  size_t produced = 0;
  int zr = Z_OK;
  while (zr == Z_OK) {
    if (produced == out->size()) out->resize(out->size() * 2);
    z.next_out = (Bytef*)&(*out)[produced];
    z.avail_out = (uInt)(out->size() - produced);
    zr = inflate(&z, Z_NO_FLUSH);
    produced = out->size() - z.avail_out;
    if (zr == Z_BUF_ERROR && z.avail_out == 0) zr = Z_OK;  // only the output was full
  }
  inflateEnd(&z);
  if (zr != Z_STREAM_END) return false;
  out->resize(produced);
  return true;
}

bool HandOut(const std::string& bytes, void** output, int32_t* outputLength) {
  void* buffer = HeapAlloc(GetProcessHeap(), 0, bytes.size() ? bytes.size() : 1);
  if (!buffer) return false;
  memcpy(buffer, bytes.data(), bytes.size());
  *output = buffer;
  *outputLength = (int32_t)bytes.size();
  return true;
}

}  // namespace

SVPU_API void SVAPI zlibCompress(SvStr* out, SvStr bytes) {
  sv::GuardVoid([&] {
    std::string packed;
    if (!Compress(bytes, (size_t)sv::Length(bytes), &packed)) packed.clear();
    sv::PutStr(out, packed);
  });
}

SVPU_API void SVAPI zlibDecompress(SvStr* out, SvStr bytes) {
  sv::GuardVoid([&] {
    std::string plain;
    if (!Decompress(bytes, (size_t)sv::Length(bytes), 0, &plain)) plain.clear();
    sv::PutStr(out, plain);
  });
}

SVPU_API SvBool SVAPI zlibCompressBuf(const void* input, int32_t inputLength, void** output, int32_t* outputLength) {
  return sv::Guard<SvBool>(0, [&] {
    if (!output || !outputLength || inputLength < 0 || (!input && inputLength)) return (SvBool)0;
    std::string packed;
    return (SvBool)(Compress(input, (size_t)inputLength, &packed) && HandOut(packed, output, outputLength));
  });
}

SVPU_API SvBool SVAPI zlibDecompressBuf(const void* input, int32_t inputLength, int32_t estimate, void** output,
                                        int32_t* outputLength) {
  return sv::Guard<SvBool>(0, [&] {
    if (!output || !outputLength || inputLength < 0 || (!input && inputLength)) return (SvBool)0;
    std::string plain;
    size_t guess = estimate > 0 ? (size_t)estimate : 0;
    return (SvBool)(Decompress(input, (size_t)inputLength, guess, &plain) && HandOut(plain, output, outputLength));
  });
}

SVPU_API void SVAPI zlibFreeBuf(void* buffer) {
  sv::GuardVoid([&] {
    if (buffer) HeapFree(GetProcessHeap(), 0, buffer);
  });
}
