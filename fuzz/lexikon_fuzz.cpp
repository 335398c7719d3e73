// The dictionary reader (Lex.sin, Lex.swd, Lex.svl). Input layout:
//   byte 0          length n of the search word (taken modulo 9)
//   n bytes         the search word
//   2 bytes         length of the index part (little-endian, cut to what is left)
//   2 bytes         length of the word part (likewise)
//   the rest        the article file
// The index and word parts are plain records: the harness scrambles every
// whole record before the reader sees it, so that the fuzzer works on the
// fields themselves; a trailing partial record is passed on as it is.
//
// Properties: nothing is read outside a file (the sanitizers), a prefix search
// finds only headwords that begin with the upper-cased word, an exact search
// only that word, a prefix search of up to four letters lists at most 300
// headwords and any other search at most one group, and an article is either
// exactly as long as its record says or empty.
#include <stddef.h>
#include <stdint.h>

#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "lex_format.h"
#include "lex_reader.h"

namespace {

size_t TakeLength(std::string_view* in) {
  if (in->size() < 2) {
    in->remove_prefix(in->size());
    return 0;
  }
  size_t length = static_cast<unsigned char>((*in)[0]) | (static_cast<unsigned char>((*in)[1]) << 8);
  in->remove_prefix(2);
  return length;
}

std::string_view TakeBytes(std::string_view* in, size_t length) {
  std::string_view part = in->substr(0, length);
  in->remove_prefix(part.size());
  return part;
}

std::string Scrambled(std::string_view plain, size_t recordSize) {
  std::string out(plain);
  for (size_t at = 0; at + recordSize <= out.size(); at += recordSize)
    for (size_t i = 0; i < recordSize; ++i)
      out[at + i] = static_cast<char>(static_cast<unsigned char>((static_cast<unsigned char>(out[at + i]) ^
                                                                  lex::kRecordKey) + i));
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view in(reinterpret_cast<const char*>(data), size);
  if (in.empty()) return 0;
  size_t wordLength = static_cast<unsigned char>(in[0]) % 9;
  in.remove_prefix(1);
  std::string word(TakeBytes(&in, wordLength));
  size_t indexLength = TakeLength(&in);
  size_t wordsLength = TakeLength(&in);
  std::string indexBytes = Scrambled(TakeBytes(&in, indexLength), lex::kIndexRecordSize);
  std::string wordBytes = Scrambled(TakeBytes(&in, wordsLength), lex::kWordRecordSize);
  std::string articleBytes(in);

  lex::MemorySource index(indexBytes), words(wordBytes), articles(articleBytes);
  lex::Dictionary dictionary(&index, &words);
  std::string upper = lex::UpperHeadword(word);

  for (const lex::Found& found : dictionary.PrefixSearch(word)) {
    FUZZ_CHECK(found.headword.compare(0, upper.size(), upper) == 0);
    std::string article = lex::ReadArticle(&articles, found);
    FUZZ_CHECK(article.empty() || article.size() == found.articleLength);
    FUZZ_CHECK(article.size() <= articleBytes.size());
  }
  std::vector<lex::Found> exact = dictionary.ExactSearch(word);
  FUZZ_CHECK(exact.size() <= lex::kMaxGroupSize);
  for (const lex::Found& found : exact) FUZZ_CHECK(found.headword == upper);
  lex::SearchKind kind;
  std::vector<lex::Found> chosen = dictionary.Search(word, &kind);
  FUZZ_CHECK(word.empty() ? kind == lex::SearchKind::kNone : kind != lex::SearchKind::kNone);
  // A prefix search of up to four letters runs only below the limit, and reads
  // no more headwords than the count gave; any other search reads one group.
  if (kind == lex::SearchKind::kPrefix && word.size() <= lex::kMaxPrefix) {
    FUZZ_CHECK(chosen.size() <= lex::kPrefixSearchLimit);
  } else {
    FUZZ_CHECK(chosen.size() <= lex::kMaxGroupSize);
  }
  (void)dictionary.Count(word);
  return 0;
}
