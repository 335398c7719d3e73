// Upper and lower case of Windows-1251 text: Latin letters, the Russian
// alphabet and the other letters of the code page's Cyrillic block (Ё, Ђ, Ї,
// Ў ...). Bytes that are no letter, or whose other case has no 1251 form
// (such as "µ"), map to themselves. Pure code: builds natively as well as for
// Windows, and gives the same maps the Russian locale of the platform does.
#pragma once

#include <string>
#include <string_view>

namespace sv {

// Byte maps indexed by the byte value.
const unsigned char* UpperMap1251();
const unsigned char* LowerMap1251();

inline unsigned char Upper1251(unsigned char c) { return UpperMap1251()[c]; }
inline unsigned char Lower1251(unsigned char c) { return LowerMap1251()[c]; }

std::string ToUpper1251(std::string_view text);
std::string ToLower1251(std::string_view text);

// Upper case for plain Russian comparison: only "a"-"z" and "а"-"я" change,
// and "ё" and "Ё" both become "Е"; other Cyrillic letters stay as they are.
unsigned char UpperRussianPlain(unsigned char c);

}  // namespace sv
