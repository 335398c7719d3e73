#include "nettext.h"

#include <cstring>

namespace svnet {

bool NextField(std::string* rest, std::string* field, char sep) {
  if (rest->empty()) {
    field->clear();
    return false;
  }
  size_t p = rest->find(sep);
  if (p == std::string::npos) {
    *field = *rest;
    rest->clear();
  } else {
    *field = rest->substr(0, p);
    rest->erase(0, p + 1);
  }
  return true;
}

std::vector<std::string> SplitAll(const std::string& text, char sep) {
  std::vector<std::string> out;
  std::string rest = text, field;
  while (NextField(&rest, &field, sep)) out.push_back(field);
  return out;
}

std::string ReplaceAll(std::string text, std::string_view from, std::string_view to) {
  if (from.empty()) return text;
  size_t p = 0;
  while ((p = text.find(from, p)) != std::string::npos) {
    text.replace(p, from.size(), to);
    p += to.size();
  }
  return text;
}

std::string UpperAscii(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = (char)(c - 'a' + 'A');
  return text;
}

int32_t ToInt(std::string_view text, int32_t def) {
  if (text.empty()) return def;
  bool neg = false;
  size_t i = 0;
  if (text[0] == '-' || text[0] == '+') neg = text[0] == '-', i = 1;
  if (i == text.size()) return def;
  int64_t v = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return def;
    v = v * 10 + (text[i] - '0');
    if (v > 2147483648LL) return def;
  }
  if (neg) v = -v;
  if (v > INT32_MAX || v < INT32_MIN) return def;
  return (int32_t)v;
}

namespace {

uint32_t Rotl(uint32_t x, int c) { return (x << c) | (x >> (32 - c)); }

}  // namespace

std::string Md5Hex(std::string_view bytes) {
  static const uint32_t K[64] = {
      0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
      0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
      0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
      0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
      0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
      0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
      0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
      0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};
  static const int R[64] = {7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22,
                            5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20,
                            4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23,
                            6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21};
  uint32_t h[4] = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476};
  std::string msg(bytes);
  uint64_t bits = (uint64_t)bytes.size() * 8;
  msg += (char)0x80;
  while (msg.size() % 64 != 56) msg += (char)0;
  for (int i = 0; i < 8; ++i) msg += (char)(bits >> (8 * i));
  for (size_t off = 0; off < msg.size(); off += 64) {
    uint32_t w[16];
    for (int i = 0; i < 16; ++i) {
      const unsigned char* p = (const unsigned char*)msg.data() + off + i * 4;
      w[i] = p[0] | (p[1] << 8) | (p[2] << 16) | ((uint32_t)p[3] << 24);
    }
    uint32_t a = h[0], b = h[1], c = h[2], d = h[3];
    for (int i = 0; i < 64; ++i) {
      uint32_t f;
      int g;
      if (i < 16) f = (b & c) | (~b & d), g = i;
      else if (i < 32) f = (d & b) | (~d & c), g = (5 * i + 1) % 16;
      else if (i < 48) f = b ^ c ^ d, g = (3 * i + 5) % 16;
      else f = c ^ (b | ~d), g = (7 * i) % 16;
      uint32_t t = d;
      d = c;
      c = b;
      b = b + Rotl(a + f + K[i] + w[g], R[i]);
      a = t;
    }
    h[0] += a, h[1] += b, h[2] += c, h[3] += d;
  }
  static const char* hex = "0123456789abcdef";
  std::string out;
  for (int i = 0; i < 16; ++i) {
    unsigned char byte = (unsigned char)(h[i / 4] >> (8 * (i % 4)));
    out += hex[byte >> 4];
    out += hex[byte & 15];
  }
  return out;
}

}  // namespace svnet
