// MD5 (RFC 1321) over a byte stream fed in pieces, and the 32-character
// lower-case hexadecimal digest text the system compares.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <string>

namespace utils {

class Md5 {
 public:
  Md5();
  void Update(const void* data, size_t n);
  // Finishes the digest; the object is spent afterwards.
  void Final(uint8_t digest[16]);
  std::string HexDigest();

  // Digest text of one buffer.
  static std::string Of(const void* data, size_t n);

 private:
  void Blocks(const uint8_t* p, size_t count);

  uint32_t a_, b_, c_, d_;
  uint64_t total_;
  uint8_t buffer_[64];
  size_t used_;
};

}  // namespace utils
