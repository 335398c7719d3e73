// Russian-aware case mapping and LIKE matching of Windows-1251 text, used by
// the SQL functions of database type 7.
#pragma once

#include <cstddef>
#include <string>

namespace data {

// Case maps and case mapping come from cp1251_case.h (sv::UpperMap1251,
// sv::ToUpper1251, sv::ToLower1251).

// SQL LIKE over single-byte text: "%" matches any run of characters (also
// none), "_" exactly one; other characters compare after `fold` (an upper-case
// map). `escape` (or -1 for none) makes the character after it literal.
bool LikeMatch(const unsigned char* pattern, size_t patternLen, const unsigned char* text, size_t textLen,
               const unsigned char fold[256], int escape);

}  // namespace data
