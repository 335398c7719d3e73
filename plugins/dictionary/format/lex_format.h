// The layout of the dictionary files "Lex.sin" (index), "Lex.swd" (words) and
// "Lex.svl" (articles), shared by the plugin's reader and the builder, so that
// both agree byte for byte. Pure code: no windows.h.
//
// Index record, 11 bytes, sorted by prefix (unsigned byte order):
//   0  1  prefix length (1 to 4)
//   1  4  prefix: the first letters of the group's headwords, upper-cased
//         (bytes past the length are zero)
//   5  4  number of the group's first word record (from 0)
//   9  2  number of word records in the group
// Word record, 31 bytes:
//   0  1  headword length (1 to 24)
//   1 24  headword, upper-cased (bytes past the length are zero)
//  25  4  byte offset of the article in "Lex.svl"
//  29  2  article length in bytes
// Article file: the articles one after another, Windows-1251 text with CR LF.
// Numbers are little-endian.
//
// Scrambling: byte i (from 0) of an index or word record is stored as
// (plain XOR kRecordKey) + i, modulo 256; every byte of an article as
// plain XOR kArticleKey. The keys are fixed by the format: a dictionary
// built with other keys reads as damaged.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <string_view>

namespace lex {

constexpr unsigned char kRecordKey = 0x5C;   // k1: index and word records
constexpr unsigned char kArticleKey = 0xB3;  // k2: articles

constexpr char kIndexFile[] = "Lex.sin";
constexpr char kWordFile[] = "Lex.swd";
constexpr char kArticleFile[] = "Lex.svl";

constexpr size_t kIndexRecordSize = 11;
constexpr size_t kWordRecordSize = 31;
constexpr size_t kMaxPrefix = 4;
constexpr size_t kMaxHeadword = 24;
constexpr uint32_t kMaxGroupSize = 0xFFFF;
constexpr uint32_t kMaxArticle = 0xFFFF;

struct IndexRecord {
  std::string prefix;     // 1 to 4 bytes when valid
  uint32_t firstWord = 0;
  uint32_t wordCount = 0;
};

struct WordRecord {
  std::string headword;   // up to 24 bytes when valid
  uint32_t articleOffset = 0;
  uint32_t articleLength = 0;
};

// Record bytes <-> fields. Encode* returns the scrambled record; Decode*
// unscrambles `stored` (exactly one record) and returns false when a length
// byte is out of range (0, or above 4 or 24), which marks a damaged record.
std::string EncodeIndexRecord(const IndexRecord& record);
bool DecodeIndexRecord(std::string_view stored, IndexRecord* record);
std::string EncodeWordRecord(const WordRecord& record);
bool DecodeWordRecord(std::string_view stored, WordRecord* record);

// Article bytes, scrambled or unscrambled (the step is its own inverse).
void ScrambleArticle(std::string* bytes);

// Upper case of search words and headwords: ASCII letters, then the Russian
// alphabet, with "ё" and "Ё" both as "Е".
std::string UpperHeadword(std::string_view text1251);

// The group prefix of an upper-cased headword: its first 4 letters (all of a
// shorter one).
inline std::string_view PrefixOf(std::string_view headword) { return headword.substr(0, kMaxPrefix); }

}  // namespace lex
