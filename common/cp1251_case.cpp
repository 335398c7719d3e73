#include "cp1251_case.h"

namespace sv {

namespace {

constexpr int kByteValues = 256;
// The distance between a letter and its other case in the regular ranges.
constexpr int kCaseDistance = 0x20;
constexpr unsigned char kCyrillicLowerFirst = 0xE0;  // а
constexpr unsigned char kUpperYo = 0xA8;             // Ё
constexpr unsigned char kLowerYo = 0xB8;             // ё
constexpr unsigned char kUpperYe = 0xC5;             // Е

// The letters outside the regular ranges: lower case, upper case.
constexpr unsigned char kIrregular[][2] = {
    {0x90, 0x80},  // ђ Ђ
    {0x83, 0x81},  // ѓ Ѓ
    {0x9A, 0x8A},  // љ Љ
    {0x9C, 0x8C},  // њ Њ
    {0x9D, 0x8D},  // ќ Ќ
    {0x9E, 0x8E},  // ћ Ћ
    {0x9F, 0x8F},  // џ Џ
    {0xA2, 0xA1},  // ў Ў
    {0xBC, 0xA3},  // ј Ј
    {0xB4, 0xA5},  // ґ Ґ
    {kLowerYo, kUpperYo},  // ё Ё
    {0xBA, 0xAA},  // є Є
    {0xBF, 0xAF},  // ї Ї
    {0xB3, 0xB2},  // і І
    {0xBE, 0xBD},  // ѕ Ѕ
};

struct Maps {
  unsigned char upper[kByteValues];
  unsigned char lower[kByteValues];
  constexpr Maps() : upper(), lower() {
    for (int i = 0; i < kByteValues; ++i) upper[i] = lower[i] = (unsigned char)i;
    for (int c = 'a'; c <= 'z'; ++c) {
      upper[c] = (unsigned char)(c - kCaseDistance);
      lower[c - kCaseDistance] = (unsigned char)c;
    }
    for (int c = kCyrillicLowerFirst; c < kByteValues; ++c) {
      upper[c] = (unsigned char)(c - kCaseDistance);
      lower[c - kCaseDistance] = (unsigned char)c;
    }
    for (const auto& pair : kIrregular) {
      upper[pair[0]] = pair[1];
      lower[pair[1]] = pair[0];
    }
  }
};

// Computed by the compiler: ready before any code, static initialisers of
// other files included, can ask for it.
constexpr Maps kMaps;

std::string MapText(std::string_view text, const unsigned char* map) {
  std::string out(text);
  for (char& c : out) c = (char)map[(unsigned char)c];
  return out;
}

}  // namespace

const unsigned char* UpperMap1251() { return kMaps.upper; }
const unsigned char* LowerMap1251() { return kMaps.lower; }

std::string ToUpper1251(std::string_view text) { return MapText(text, kMaps.upper); }
std::string ToLower1251(std::string_view text) { return MapText(text, kMaps.lower); }

unsigned char UpperRussianPlain(unsigned char c) {
  if (c == kLowerYo || c == kUpperYo) return kUpperYe;
  if ((c >= 'a' && c <= 'z') || c >= kCyrillicLowerFirst) return kMaps.upper[c];
  return c;
}

}  // namespace sv
