#include "lex_format.h"

#include "cp1251_case.h"

namespace lex {

namespace {

void PutNumber(std::string* out, size_t at, uint32_t value, size_t bytes) {
  for (size_t i = 0; i < bytes; ++i) (*out)[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

uint32_t GetNumber(const std::string& in, size_t at, size_t bytes) {
  uint32_t value = 0;
  for (size_t i = 0; i < bytes; ++i) value |= static_cast<uint32_t>(static_cast<unsigned char>(in[at + i])) << (8 * i);
  return value;
}

void ScrambleRecord(std::string* record) {
  for (size_t i = 0; i < record->size(); ++i) {
    unsigned char plain = static_cast<unsigned char>((*record)[i]);
    (*record)[i] = static_cast<char>(static_cast<unsigned char>((plain ^ kRecordKey) + i));
  }
}

std::string UnscrambleRecord(std::string_view stored) {
  std::string plain(stored);
  for (size_t i = 0; i < plain.size(); ++i) {
    unsigned char byte = static_cast<unsigned char>(plain[i]);
    plain[i] = static_cast<char>(static_cast<unsigned char>(byte - i) ^ kRecordKey);
  }
  return plain;
}

}  // namespace

std::string EncodeIndexRecord(const IndexRecord& record) {
  std::string out(kIndexRecordSize, '\0');
  size_t length = record.prefix.size() < kMaxPrefix ? record.prefix.size() : kMaxPrefix;
  out[0] = static_cast<char>(length);
  out.replace(1, length, record.prefix.substr(0, length));
  PutNumber(&out, 5, record.firstWord, 4);
  PutNumber(&out, 9, record.wordCount, 2);
  ScrambleRecord(&out);
  return out;
}

bool DecodeIndexRecord(std::string_view stored, IndexRecord* record) {
  if (stored.size() != kIndexRecordSize) return false;
  std::string plain = UnscrambleRecord(stored);
  size_t length = static_cast<unsigned char>(plain[0]);
  if (length < 1 || length > kMaxPrefix) return false;
  record->prefix = plain.substr(1, length);
  record->firstWord = GetNumber(plain, 5, 4);
  record->wordCount = GetNumber(plain, 9, 2);
  return true;
}

std::string EncodeWordRecord(const WordRecord& record) {
  std::string out(kWordRecordSize, '\0');
  size_t length = record.headword.size() < kMaxHeadword ? record.headword.size() : kMaxHeadword;
  out[0] = static_cast<char>(length);
  out.replace(1, length, record.headword.substr(0, length));
  PutNumber(&out, 25, record.articleOffset, 4);
  PutNumber(&out, 29, record.articleLength, 2);
  ScrambleRecord(&out);
  return out;
}

bool DecodeWordRecord(std::string_view stored, WordRecord* record) {
  if (stored.size() != kWordRecordSize) return false;
  std::string plain = UnscrambleRecord(stored);
  size_t length = static_cast<unsigned char>(plain[0]);
  if (length < 1 || length > kMaxHeadword) return false;
  record->headword = plain.substr(1, length);
  record->articleOffset = GetNumber(plain, 25, 4);
  record->articleLength = GetNumber(plain, 29, 2);
  return true;
}

void ScrambleArticle(std::string* bytes) {
  for (char& c : *bytes) c = static_cast<char>(static_cast<unsigned char>(c) ^ kArticleKey);
}

std::string UpperHeadword(std::string_view text1251) {
  std::string out(text1251);
  for (char& c : out) c = static_cast<char>(sv::UpperRussianPlain(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace lex
