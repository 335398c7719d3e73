// Making the three dictionary files from a plain source text: the builder's
// core, shared by the command-line tool and the tests. Pure code.
//
// Source text (Windows-1251; lines end in LF or CR LF):
//   - a line "@@ HEADWORD" opens a record; the lines up to the next such line
//     are the headword's article;
//   - lines before the first record that begin with "#" are comments;
//   - empty lines at the start and end of an article are dropped; the
//     article is stored with CR LF line breaks.
// Headwords are trimmed and upper-cased as the reader does ("ё" as "Е").
// Records whose headwords are equal after that are merged, their articles
// joined by an empty line, in source order.
#pragma once

#include <stddef.h>

#include <string>
#include <string_view>
#include <vector>

namespace lex {

struct SourceRecord {
  std::string headword;
  std::string article;
};

std::vector<SourceRecord> ParseSource(std::string_view text);

struct BuiltFiles {
  std::string index;     // "Lex.sin"
  std::string words;     // "Lex.swd"
  std::string articles;  // "Lex.svl"
};

struct BuildReport {
  size_t headwords = 0;       // word records written
  size_t groups = 0;          // index records written
  size_t merged = 0;          // records joined to an earlier one of the same headword
  size_t skippedEmpty = 0;    // records without a headword
  size_t skippedLong = 0;     // headwords longer than a word record holds
  size_t cutArticles = 0;     // articles cut to the longest the word record can give
};

// Sorts and groups the records and writes them scrambled. False (with a
// reason) when the files cannot hold them: a group of more than 65535
// headwords, or articles past 4 GB.
bool BuildDictionary(const std::vector<SourceRecord>& records, BuiltFiles* files, BuildReport* report,
                     std::string* error);

}  // namespace lex
