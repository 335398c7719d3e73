#include "lex_build.h"

#include <stdint.h>

#include <map>

#include "lex_format.h"

namespace lex {

namespace {

constexpr char kRecordMark[] = "@@ ";
constexpr size_t kRecordMarkLength = sizeof(kRecordMark) - 1;

std::string_view Trim(std::string_view text) {
  size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return std::string_view();
  size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

std::string JoinArticle(const std::vector<std::string_view>& lines) {
  size_t first = 0, end = lines.size();
  while (first < end && Trim(lines[first]).empty()) ++first;
  while (end > first && Trim(lines[end - 1]).empty()) --end;
  std::string article;
  for (size_t i = first; i < end; ++i) {
    if (i > first) article += "\r\n";
    article += lines[i];
  }
  return article;
}

// An article longer than the word record's length field allows ends at its
// last line break within the limit (or at the limit itself).
bool CutArticle(std::string* article) {
  if (article->size() <= kMaxArticle) return false;
  size_t cut = article->rfind("\r\n", kMaxArticle - 2);
  article->resize(cut == std::string::npos || cut == 0 ? kMaxArticle : cut);
  return true;
}

}  // namespace

std::vector<SourceRecord> ParseSource(std::string_view text) {
  std::vector<SourceRecord> records;
  std::vector<std::string_view> lines;
  bool inRecord = false;
  auto finish = [&] {
    if (inRecord) records.back().article = JoinArticle(lines);
    lines.clear();
  };
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    std::string_view line = text.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at);
    at = end == std::string_view::npos ? text.size() : end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.substr(0, kRecordMarkLength) == kRecordMark) {
      finish();
      records.push_back(SourceRecord{std::string(Trim(line.substr(kRecordMarkLength))), std::string()});
      inRecord = true;
    } else if (inRecord) {
      lines.push_back(line);
    }
    // Before the first record: comments and empty lines, ignored.
  }
  finish();
  return records;
}

bool BuildDictionary(const std::vector<SourceRecord>& records, BuiltFiles* files, BuildReport* report,
                     std::string* error) {
  *files = BuiltFiles();
  *report = BuildReport();
  // std::map orders std::string keys in unsigned byte order, the reader's.
  std::map<std::string, std::string> entries;
  for (const SourceRecord& record : records) {
    std::string headword = UpperHeadword(Trim(record.headword));
    if (headword.empty()) {
      ++report->skippedEmpty;
      continue;
    }
    if (headword.size() > kMaxHeadword) {
      ++report->skippedLong;
      continue;
    }
    auto [it, added] = entries.emplace(headword, record.article);
    if (!added) {
      ++report->merged;
      if (!it->second.empty() && !record.article.empty()) it->second += "\r\n\r\n";
      it->second += record.article;
    }
  }

  IndexRecord group;
  auto closeGroup = [&]() -> bool {
    if (group.wordCount == 0) return true;
    if (group.wordCount > kMaxGroupSize) {
      *error = "more than 65535 headwords begin with the same four letters";
      return false;
    }
    files->index += EncodeIndexRecord(group);
    ++report->groups;
    return true;
  };
  uint32_t wordNumber = 0;
  for (auto& [headword, article] : entries) {
    if (CutArticle(&article)) ++report->cutArticles;
    std::string_view prefix = PrefixOf(headword);
    if (group.wordCount == 0 || group.prefix != prefix) {
      if (!closeGroup()) return false;
      group = IndexRecord{std::string(prefix), wordNumber, 0};
    }
    if (files->articles.size() + article.size() > UINT32_MAX) {
      *error = "the articles exceed 4 GB";
      return false;
    }
    WordRecord word{headword, static_cast<uint32_t>(files->articles.size()), static_cast<uint32_t>(article.size())};
    files->words += EncodeWordRecord(word);
    std::string stored = article;
    ScrambleArticle(&stored);
    files->articles += stored;
    ++group.wordCount;
    ++wordNumber;
  }
  if (!closeGroup()) return false;
  report->headwords = wordNumber;
  return true;
}

}  // namespace lex
