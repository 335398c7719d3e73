// The binary interface shared by every library, plugin and outside caller.
//
// Calling convention: every export and every callback is __stdcall with an
// undecorated name. Integers are 32-bit signed unless stated otherwise;
// booleans are one byte holding 0 or 1.
//
// SvStr is the system's reference-counted 8-bit (Windows-1251) string: a
// pointer to the first character, followed by one zero byte, with a 32-bit
// reference count at -8 and the byte length at -4. The null pointer is the
// empty string; an allocated string is never empty. A count of -1 marks a
// constant that is never freed. Memory comes from the process heap, so any
// module may release what another module made.
//
// Dynamic arrays have the same layout with 32-bit elements in place of
// characters and the element count at -4.
#pragma once

#include <stdint.h>
#include <string.h>

#ifdef _WIN32
#include <windows.h>
#define SVAPI __stdcall
#else
#include <stdlib.h>
#define SVAPI
#endif

#ifdef __cplusplus
#define SV_EXTERN_C extern "C"
#else
#define SV_EXTERN_C
#endif

// Declares an export of a system library. The library itself defines
// SV_BUILDING_<LIB> so that its own header does not mark it as imported.
#ifdef _WIN32
#define SV_IMPORT SV_EXTERN_C __declspec(dllimport)
#else
#define SV_IMPORT SV_EXTERN_C
#endif
#define SV_EXPORT SV_EXTERN_C

typedef char* SvStr;
typedef unsigned char SvBool;
typedef int32_t* SvArray;  // dynamic array of 32-bit elements

typedef struct SvHeader {
  volatile int32_t refCount;
  int32_t length;
} SvHeader;

#ifdef __cplusplus
static_assert(sizeof(SvHeader) == 8, "string header is 8 bytes");

namespace sv {

inline SvHeader* HeaderOf(const void* p) {
  return (SvHeader*)((char*)p - sizeof(SvHeader));
}

inline void* HeapGet(size_t bytes) {
#ifdef _WIN32
  return HeapAlloc(GetProcessHeap(), 0, bytes);
#else
  return malloc(bytes);
#endif
}

inline void HeapPut(void* p) {
#ifdef _WIN32
  HeapFree(GetProcessHeap(), 0, p);
#else
  free(p);
#endif
}

// Allocates a block with a header of count 1 and `length` units of
// `unitSize` bytes plus `tail` zero bytes. Returns null when length <= 0.
inline void* NewBlock(int32_t length, size_t unitSize, size_t tail) {
  if (length <= 0) return nullptr;
  size_t bytes = sizeof(SvHeader) + (size_t)length * unitSize + tail;
  SvHeader* h = (SvHeader*)HeapGet(bytes);
  if (!h) return nullptr;
  h->refCount = 1;
  h->length = length;
  return h + 1;
}

// Length in bytes (or elements) from the header; 0 for null.
inline int32_t Length(const void* p) { return p ? HeaderOf(p)->length : 0; }

inline void AddRef(const void* p) {
  if (!p) return;
  SvHeader* h = HeaderOf(p);
  if (h->refCount < 0) return;  // constant
  __atomic_add_fetch(&h->refCount, 1, __ATOMIC_SEQ_CST);
}

inline void Release(const void* p) {
  if (!p) return;
  SvHeader* h = HeaderOf(p);
  if (h->refCount < 0) return;  // constant
  if (__atomic_sub_fetch(&h->refCount, 1, __ATOMIC_SEQ_CST) == 0) HeapPut(h);
}

// ---- strings ----

// A new string holding a copy of `len` bytes (null for len <= 0).
inline SvStr StrNew(const char* data, int32_t len) {
  char* s = (char*)NewBlock(len, 1, 1);
  if (!s) return nullptr;
  if (data) memcpy(s, data, (size_t)len);
  s[len] = 0;
  return s;
}

// A new string of `len` bytes left for the caller to fill.
inline SvStr StrAlloc(int32_t len) { return StrNew(nullptr, len); }

inline SvStr StrFromC(const char* text) {
  return text ? StrNew(text, (int32_t)strlen(text)) : nullptr;
}

inline int32_t StrLen(SvStr s) { return Length(s); }

// Length of a text argument: read up to its first zero byte, so that a plain
// zero-terminated text may be passed where a string is expected.
inline int32_t TextLen(const char* text) { return text ? (int32_t)strlen(text) : 0; }

// Stores `value` (whose reference the caller hands over) into an out
// variable, releasing what the variable held before.
inline void StrPut(SvStr* out, SvStr value) {
  if (!out) {
    Release(value);
    return;
  }
  SvStr old = *out;
  *out = value;
  Release(old);
}

inline void StrSet(SvStr* out, const char* data, int32_t len) { StrPut(out, StrNew(data, len)); }

// Makes the string in `*s` unique (count 1) so that it may be changed in place.
inline void StrUnique(SvStr* s) {
  if (!*s || HeaderOf(*s)->refCount == 1) return;
  StrPut(s, StrNew(*s, Length(*s)));
}

// ---- dynamic arrays of 32-bit elements ----

inline SvArray ArrayNew(int32_t count) {
  SvArray a = (SvArray)NewBlock(count, sizeof(int32_t), 0);
  if (a) memset(a, 0, (size_t)count * sizeof(int32_t));
  return a;
}

inline int32_t ArrayLen(const void* a) { return Length(a); }

}  // namespace sv
#endif
