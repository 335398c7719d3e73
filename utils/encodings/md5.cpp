#include "md5.h"

#include <string.h>

namespace utils {

namespace {

inline uint32_t Rotl(uint32_t x, int s) { return (x << s) | (x >> (32 - s)); }

// The four round functions in forms that need one operation less than the
// textbook ones.
#define F(x, y, z) ((z) ^ ((x) & ((y) ^ (z))))
#define G(x, y, z) ((y) ^ ((z) & ((x) ^ (y))))
#define H(x, y, z) ((x) ^ (y) ^ (z))
#define I(x, y, z) ((y) ^ ((x) | ~(z)))

#define STEP(f, a, b, c, d, x, t, s) \
  (a) += f((b), (c), (d)) + (x) + (uint32_t)(t); \
  (a) = Rotl((a), (s)) + (b)

inline uint32_t Word(const uint8_t* p, int i) {
  uint32_t w;
  memcpy(&w, p + 4 * i, 4);  // the platform is little-endian, as MD5 is
  return w;
}

}  // namespace

Md5::Md5() : a_(0x67452301), b_(0xefcdab89), c_(0x98badcfe), d_(0x10325476), total_(0), used_(0) {}

void Md5::Blocks(const uint8_t* p, size_t count) {
  uint32_t a = a_, b = b_, c = c_, d = d_;
  for (; count; --count, p += 64) {
    const uint32_t x0 = Word(p, 0), x1 = Word(p, 1), x2 = Word(p, 2), x3 = Word(p, 3), x4 = Word(p, 4),
                   x5 = Word(p, 5), x6 = Word(p, 6), x7 = Word(p, 7), x8 = Word(p, 8), x9 = Word(p, 9),
                   x10 = Word(p, 10), x11 = Word(p, 11), x12 = Word(p, 12), x13 = Word(p, 13),
                   x14 = Word(p, 14), x15 = Word(p, 15);
    const uint32_t sa = a, sb = b, sc = c, sd = d;

    STEP(F, a, b, c, d, x0, 0xd76aa478, 7);
    STEP(F, d, a, b, c, x1, 0xe8c7b756, 12);
    STEP(F, c, d, a, b, x2, 0x242070db, 17);
    STEP(F, b, c, d, a, x3, 0xc1bdceee, 22);
    STEP(F, a, b, c, d, x4, 0xf57c0faf, 7);
    STEP(F, d, a, b, c, x5, 0x4787c62a, 12);
    STEP(F, c, d, a, b, x6, 0xa8304613, 17);
    STEP(F, b, c, d, a, x7, 0xfd469501, 22);
    STEP(F, a, b, c, d, x8, 0x698098d8, 7);
    STEP(F, d, a, b, c, x9, 0x8b44f7af, 12);
    STEP(F, c, d, a, b, x10, 0xffff5bb1, 17);
    STEP(F, b, c, d, a, x11, 0x895cd7be, 22);
    STEP(F, a, b, c, d, x12, 0x6b901122, 7);
    STEP(F, d, a, b, c, x13, 0xfd987193, 12);
    STEP(F, c, d, a, b, x14, 0xa679438e, 17);
    STEP(F, b, c, d, a, x15, 0x49b40821, 22);

    STEP(G, a, b, c, d, x1, 0xf61e2562, 5);
    STEP(G, d, a, b, c, x6, 0xc040b340, 9);
    STEP(G, c, d, a, b, x11, 0x265e5a51, 14);
    STEP(G, b, c, d, a, x0, 0xe9b6c7aa, 20);
    STEP(G, a, b, c, d, x5, 0xd62f105d, 5);
    STEP(G, d, a, b, c, x10, 0x02441453, 9);
    STEP(G, c, d, a, b, x15, 0xd8a1e681, 14);
    STEP(G, b, c, d, a, x4, 0xe7d3fbc8, 20);
    STEP(G, a, b, c, d, x9, 0x21e1cde6, 5);
    STEP(G, d, a, b, c, x14, 0xc33707d6, 9);
    STEP(G, c, d, a, b, x3, 0xf4d50d87, 14);
    STEP(G, b, c, d, a, x8, 0x455a14ed, 20);
    STEP(G, a, b, c, d, x13, 0xa9e3e905, 5);
    STEP(G, d, a, b, c, x2, 0xfcefa3f8, 9);
    STEP(G, c, d, a, b, x7, 0x676f02d9, 14);
    STEP(G, b, c, d, a, x12, 0x8d2a4c8a, 20);

    STEP(H, a, b, c, d, x5, 0xfffa3942, 4);
    STEP(H, d, a, b, c, x8, 0x8771f681, 11);
    STEP(H, c, d, a, b, x11, 0x6d9d6122, 16);
    STEP(H, b, c, d, a, x14, 0xfde5380c, 23);
    STEP(H, a, b, c, d, x1, 0xa4beea44, 4);
    STEP(H, d, a, b, c, x4, 0x4bdecfa9, 11);
    STEP(H, c, d, a, b, x7, 0xf6bb4b60, 16);
    STEP(H, b, c, d, a, x10, 0xbebfbc70, 23);
    STEP(H, a, b, c, d, x13, 0x289b7ec6, 4);
    STEP(H, d, a, b, c, x0, 0xeaa127fa, 11);
    STEP(H, c, d, a, b, x3, 0xd4ef3085, 16);
    STEP(H, b, c, d, a, x6, 0x04881d05, 23);
    STEP(H, a, b, c, d, x9, 0xd9d4d039, 4);
    STEP(H, d, a, b, c, x12, 0xe6db99e5, 11);
    STEP(H, c, d, a, b, x15, 0x1fa27cf8, 16);
    STEP(H, b, c, d, a, x2, 0xc4ac5665, 23);

    STEP(I, a, b, c, d, x0, 0xf4292244, 6);
    STEP(I, d, a, b, c, x7, 0x432aff97, 10);
    STEP(I, c, d, a, b, x14, 0xab9423a7, 15);
    STEP(I, b, c, d, a, x5, 0xfc93a039, 21);
    STEP(I, a, b, c, d, x12, 0x655b59c3, 6);
    STEP(I, d, a, b, c, x3, 0x8f0ccc92, 10);
    STEP(I, c, d, a, b, x10, 0xffeff47d, 15);
    STEP(I, b, c, d, a, x1, 0x85845dd1, 21);
    STEP(I, a, b, c, d, x8, 0x6fa87e4f, 6);
    STEP(I, d, a, b, c, x15, 0xfe2ce6e0, 10);
    STEP(I, c, d, a, b, x6, 0xa3014314, 15);
    STEP(I, b, c, d, a, x13, 0x4e0811a1, 21);
    STEP(I, a, b, c, d, x4, 0xf7537e82, 6);
    STEP(I, d, a, b, c, x11, 0xbd3af235, 10);
    STEP(I, c, d, a, b, x2, 0x2ad7d2bb, 15);
    STEP(I, b, c, d, a, x9, 0xeb86d391, 21);

    a += sa;
    b += sb;
    c += sc;
    d += sd;
  }
  a_ = a;
  b_ = b;
  c_ = c;
  d_ = d;
}

void Md5::Update(const void* data, size_t n) {
  const uint8_t* p = (const uint8_t*)data;
  total_ += n;
  if (used_) {
    size_t take = 64 - used_ < n ? 64 - used_ : n;
    memcpy(buffer_ + used_, p, take);
    used_ += take;
    p += take;
    n -= take;
    if (used_ < 64) return;
    Blocks(buffer_, 1);
    used_ = 0;
  }
  if (n >= 64) {
    Blocks(p, n / 64);
    p += n & ~(size_t)63;
    n &= 63;
  }
  if (n) {
    memcpy(buffer_, p, n);
    used_ = n;
  }
}

void Md5::Final(uint8_t digest[16]) {
  const uint64_t bits = total_ * 8;
  static const uint8_t kPad[64] = {0x80};
  size_t padLen = used_ < 56 ? 56 - used_ : 120 - used_;
  Update(kPad, padLen);
  uint8_t len[8];
  for (int i = 0; i < 8; ++i) len[i] = (uint8_t)(bits >> (8 * i));
  Update(len, 8);
  const uint32_t words[4] = {a_, b_, c_, d_};
  for (int i = 0; i < 16; ++i) digest[i] = (uint8_t)(words[i / 4] >> (8 * (i % 4)));
}

std::string Md5::HexDigest() {
  static const char kHex[] = "0123456789abcdef";
  uint8_t digest[16];
  Final(digest);
  std::string text(32, '0');
  for (int i = 0; i < 16; ++i) {
    text[2 * i] = kHex[digest[i] >> 4];
    text[2 * i + 1] = kHex[digest[i] & 15];
  }
  return text;
}

std::string Md5::Of(const void* data, size_t n) {
  Md5 md5;
  md5.Update(data, n);
  return md5.HexDigest();
}

}  // namespace utils
