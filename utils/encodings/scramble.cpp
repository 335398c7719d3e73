// Single-byte scrambling with a key byte (the low 8 bits of the key): a plain
// XOR, and a position-dependent pair SVXAE / SVXAD that undo each other.
// Positions count from 1; all arithmetic wraps at 256.
#include "SolvikaUtils.h"
#include "guard.h"
#include "svstring.h"

namespace {

void Xor(uint8_t* p, int32_t count, uint8_t k) {
  for (int32_t i = 0; i < count; ++i) p[i] ^= k;
}

}  // namespace

SVU_API void SVAPI XorBlock(void* buffer, int32_t count, int32_t key) {
  sv::GuardVoid([&] {
    if (buffer && count > 0) Xor((uint8_t*)buffer, count, (uint8_t)key);
  });
}

SVU_API SvStr SVAPI XorStr(SvStr text, int32_t key) {
  return sv::Guard<SvStr>(nullptr, [&] {
    SvStr copy = sv::StrNew(text, sv::Length(text));
    if (copy) Xor((uint8_t*)copy, sv::Length(copy), (uint8_t)key);
    return copy;
  });
}

SVU_API void SVAPI SVXAE(void* buffer, int32_t count, int32_t key) {
  sv::GuardVoid([&] {
    if (!buffer || count <= 0) return;
    uint8_t* p = (uint8_t*)buffer;
    const uint8_t k = (uint8_t)key;
    for (int32_t i = 0; i < count; ++i) p[i] = (uint8_t)((p[i] ^ k) + (uint8_t)(i + 1));
  });
}

SVU_API void SVAPI SVXAD(void* buffer, int32_t count, int32_t key) {
  sv::GuardVoid([&] {
    if (!buffer || count <= 0) return;
    uint8_t* p = (uint8_t*)buffer;
    const uint8_t k = (uint8_t)key;
    for (int32_t i = 0; i < count; ++i) p[i] = (uint8_t)((uint8_t)(p[i] - (uint8_t)(i + 1)) ^ k);
  });
}
