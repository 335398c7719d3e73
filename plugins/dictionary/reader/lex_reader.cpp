#include "lex_reader.h"

namespace lex {

namespace {

// The key of a search word: its first (up to) four letters, upper-cased.
std::string KeyOf(const std::string& upperWord) { return upperWord.substr(0, kMaxPrefix); }

bool BeginsWith(const std::string& prefix, const std::string& key) {
  return prefix.size() >= key.size() && prefix.compare(0, key.size(), key) == 0;
}

// The prefix's first key-length letters against the key, in unsigned byte
// order (char_traits<char> compares as unsigned char).
int CompareHead(const std::string& prefix, const std::string& key) {
  return std::string_view(prefix).substr(0, key.size()).compare(key);
}

}  // namespace

bool MemorySource::Read(uint64_t offset, size_t length, std::string* out) {
  if (offset > bytes_.size() || length > bytes_.size() - offset) return false;
  out->assign(bytes_.data() + offset, length);
  return true;
}

IndexTable ReadIndex(ByteSource* index) {
  IndexTable table;
  // A trailing part shorter than a record is not read.
  uint64_t count = index ? index->Size() / kIndexRecordSize : 0;
  std::string bytes;
  if (count == 0 || !index->Read(0, count * kIndexRecordSize, &bytes)) return table;
  table.records.resize(count);
  for (uint64_t i = 0; i < count; ++i) {
    std::string_view stored(bytes.data() + i * kIndexRecordSize, kIndexRecordSize);
    // Binary search needs the whole index in order.
    if (!DecodeIndexRecord(stored, &table.records[i]) ||
        (i > 0 && table.records[i].prefix < table.records[i - 1].prefix)) {
      table.records.clear();
      return table;
    }
  }
  table.usable = true;
  return table;
}

Dictionary::Dictionary(ByteSource* index, ByteSource* words) : ownIndex_(ReadIndex(index)), index_(&ownIndex_),
                                                               words_(words) {
  wordCount_ = words ? words->Size() / kWordRecordSize : 0;
}

Dictionary::Dictionary(const IndexTable* index, ByteSource* words) : index_(index), words_(words) {
  wordCount_ = words ? words->Size() / kWordRecordSize : 0;
}

long Dictionary::Locate(const std::string& key) const {
  size_t low = 0, high = records().size();
  long found = -1;
  while (low < high) {
    size_t middle = low + (high - low) / 2;
    int order = CompareHead(records()[middle].prefix, key);
    if (order == 0) {
      found = static_cast<long>(middle);
      break;
    }
    if (order > 0) {
      high = middle;
    } else {
      low = middle + 1;
    }
  }
  // Several groups begin with a key shorter than a prefix: start at the first.
  if (found > 0 && key.size() < kMaxPrefix) {
    while (found > 0 && BeginsWith(records()[found - 1].prefix, key)) --found;
  }
  return found;
}

uint32_t Dictionary::Count(std::string_view word) const {
  if (word.empty()) return 0;
  if (word.size() > kMaxPrefix) return 1;
  std::string key = KeyOf(UpperHeadword(word));
  long start = Locate(key);
  if (start < 0) return 0;
  uint32_t count = 0;
  for (size_t i = static_cast<size_t>(start); i < records().size(); ++i) {
    if (BeginsWith(records()[i].prefix, key)) {
      count += records()[i].wordCount;
    } else if (CompareHead(records()[i].prefix, key) > 0) {
      break;
    }
  }
  return count;
}

bool Dictionary::ReadGroup(const IndexRecord& group, std::vector<WordRecord>* words) {
  words->clear();
  if (group.wordCount == 0) return true;
  if (!words_ || group.firstWord > wordCount_ || group.wordCount > wordCount_ - group.firstWord) return false;
  if (group.wordCount > SIZE_MAX / kWordRecordSize) return false;  // more than memory holds
  std::string bytes;
  if (!words_->Read(uint64_t{group.firstWord} * kWordRecordSize, size_t{group.wordCount} * kWordRecordSize, &bytes))
    return false;
  words->resize(group.wordCount);
  for (uint32_t i = 0; i < group.wordCount; ++i) {
    if (!DecodeWordRecord(std::string_view(bytes.data() + size_t{i} * kWordRecordSize, kWordRecordSize),
                          &(*words)[i]))
      return false;
  }
  return true;
}

std::vector<Found> Dictionary::Walk(std::string_view word, bool exact) {
  std::vector<Found> found;
  if (word.empty() || !Usable()) return found;
  std::string upper = UpperHeadword(word);
  std::string key = KeyOf(upper);
  long start = Locate(key);
  if (start < 0) return found;
  std::vector<IndexRecord> groups;
  for (size_t i = static_cast<size_t>(start); i < records().size(); ++i) {
    if (BeginsWith(records()[i].prefix, key)) {
      groups.push_back(records()[i]);
      if (exact) break;
    } else if (CompareHead(records()[i].prefix, key) > 0) {
      break;
    }
  }
  // Groups that lie one after another in the word file (as the builder
  // writes them) are read in one go.
  bool adjacent = !groups.empty();
  uint64_t total = groups.empty() ? 0 : groups[0].wordCount;
  for (size_t g = 1; adjacent && g < groups.size(); ++g) {
    adjacent = uint64_t{groups[g].firstWord} == uint64_t{groups[g - 1].firstWord} + groups[g - 1].wordCount;
    total += groups[g].wordCount;
  }
  if (adjacent && groups.size() > 1 && total <= UINT32_MAX) {
    IndexRecord span = groups[0];
    span.wordCount = static_cast<uint32_t>(total);
    groups.assign(1, span);
  }
  std::vector<WordRecord> words;
  for (const IndexRecord& group : groups) {
    if (!ReadGroup(group, &words)) return {};
    for (WordRecord& w : words) {
      bool match = exact ? w.headword == upper : BeginsWith(w.headword, upper);
      if (match) found.push_back(Found{std::move(w.headword), w.articleOffset, w.articleLength});
    }
  }
  return found;
}

std::vector<Found> Dictionary::PrefixSearch(std::string_view word) { return Walk(word, false); }

std::vector<Found> Dictionary::ExactSearch(std::string_view word) { return Walk(word, true); }

std::vector<Found> Dictionary::Search(std::string_view word, SearchKind* kind) {
  SearchKind chosen = word.empty() ? SearchKind::kNone
                      : Count(word) > kPrefixSearchLimit ? SearchKind::kExact
                                                         : SearchKind::kPrefix;
  if (kind) *kind = chosen;
  if (chosen == SearchKind::kNone) return {};
  return Walk(word, chosen == SearchKind::kExact);
}

std::string ReadArticle(ByteSource* articles, const Found& found) {
  std::string bytes;
  if (!articles || found.articleLength == 0) return bytes;
  uint64_t size = articles->Size();
  if (found.articleOffset > size || found.articleLength > size - found.articleOffset) return std::string();
  if (!articles->Read(found.articleOffset, found.articleLength, &bytes)) return std::string();
  ScrambleArticle(&bytes);
  return bytes;
}

std::string ArticleText(std::string_view headword, std::string_view article) {
  std::string text(headword);
  text += "\r\n";
  text += kArticleHeadingLine;
  text += "\r\n\r\n";
  text += article;
  return text;
}

}  // namespace lex
