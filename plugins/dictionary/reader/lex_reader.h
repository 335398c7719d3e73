// Searching the dictionary files (layout in lex_format.h) and reading their
// articles. Pure code: the files come in as byte sources, so the same reader
// runs on files in the plugin and on memory in tests and fuzz targets.
//
// Damaged files never make the reader read outside a file: an index that does
// not decode or is not sorted gives empty lists for every search; a group that
// reaches past the word file, or a word record that does not decode, gives an
// empty list for the search that meets it; an article that reaches past the
// article file reads as empty. A missing file reads as an empty one.
#pragma once

#include <stdint.h>

#include <string>
#include <string_view>
#include <vector>

#include "lex_format.h"

namespace lex {

// Random access to one file's bytes.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // The size in bytes; 0 for a missing file.
  virtual uint64_t Size() = 0;
  // Exactly `length` bytes from `offset` into *out; false when they are not
  // all there or cannot be read.
  virtual bool Read(uint64_t offset, size_t length, std::string* out) = 0;
};

// A file held in memory (or none).
class MemorySource : public ByteSource {
 public:
  MemorySource() = default;
  explicit MemorySource(std::string_view bytes) : bytes_(bytes) {}
  uint64_t Size() override { return bytes_.size(); }
  bool Read(uint64_t offset, size_t length, std::string* out) override;

 private:
  std::string_view bytes_;
};

// A headword found, with where its article is.
struct Found {
  std::string headword;
  uint32_t articleOffset = 0;
  uint32_t articleLength = 0;
};

// Above this many headwords under a beginning, only the headword equal to the
// search word is listed.
constexpr uint32_t kPrefixSearchLimit = 300;

enum class SearchKind { kNone, kPrefix, kExact };

// The index file decoded and checked once: a caller that keeps it while the
// file stays the same saves the decoding at every search.
struct IndexTable {
  std::vector<IndexRecord> records;
  bool usable = false;  // false: missing, or damaged (not decoded or not sorted)
};
IndexTable ReadIndex(ByteSource* index);

class Dictionary {
 public:
  // The index and word files; each may be empty (missing).
  Dictionary(ByteSource* index, ByteSource* words);
  // An index read before (it must outlive the dictionary) and the word file.
  Dictionary(const IndexTable* index, ByteSource* words);
  Dictionary(const Dictionary&) = delete;
  Dictionary& operator=(const Dictionary&) = delete;

  // False when the index is missing or damaged (every search then finds
  // nothing).
  bool Usable() const { return index_->usable; }
  size_t IndexCount() const { return index_->records.size(); }

  // The number of headwords under the first (up to) four letters of `word`
  // (1 for words of five letters or more, 0 for an empty word).
  uint32_t Count(std::string_view word) const;
  // Every headword that begins with `word`, in file order.
  std::vector<Found> PrefixSearch(std::string_view word);
  // The headwords equal to `word`.
  std::vector<Found> ExactSearch(std::string_view word);
  // The search the plugin runs at each change of the text: none for an empty
  // word, the exact search above kPrefixSearchLimit, else the prefix search.
  std::vector<Found> Search(std::string_view word, SearchKind* kind = nullptr);

 private:
  // The first index record whose prefix begins with `key` (the upper-cased
  // first letters of the search word), or -1.
  long Locate(const std::string& key) const;
  bool ReadGroup(const IndexRecord& group, std::vector<WordRecord>* words);
  std::vector<Found> Walk(std::string_view word, bool exact);

  IndexTable ownIndex_;
  const IndexTable* index_;
  const std::vector<IndexRecord>& records() const { return index_->records; }
  ByteSource* words_;
  uint64_t wordCount_ = 0;
};

// The article of a found headword, unscrambled; empty when the article file
// is missing or the article lies outside it.
std::string ReadArticle(ByteSource* articles, const Found& found);

// What the article view shows: the headword, a line "=======", an empty line
// and the article.
std::string ArticleText(std::string_view headword, std::string_view article);

constexpr char kArticleHeadingLine[] = "=======";

}  // namespace lex
