// Russian-aware case mapping and LIKE matching of Windows-1251 text, used by
// the SQL functions of database type 7.
#pragma once

#include <cstddef>
#include <string>

namespace data {

// Byte-to-byte case maps of code page 1251 under the Russian locale. A byte
// whose mapped letter has no 1251 form maps to itself.
struct CaseMaps {
  unsigned char upper[256];
  unsigned char lower[256];
};

// Built once from the platform's Russian case mapping (thread-safe).
const CaseMaps& RussianCase();

std::string MapCase(const std::string& text, const unsigned char map[256]);

// SQL LIKE over single-byte text: "%" matches any run of characters (also
// none), "_" exactly one; other characters compare after `fold` (an upper-case
// map). `escape` (or -1 for none) makes the character after it literal.
bool LikeMatch(const unsigned char* pattern, size_t patternLen, const unsigned char* text, size_t textLen,
               const unsigned char fold[256], int escape);

}  // namespace data
