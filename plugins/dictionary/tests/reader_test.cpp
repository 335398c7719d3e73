// The reader on small dictionaries made by the builder: which search runs for
// which word, the upper-casing of search words, the articles, and damaged
// files, which must give empty lists or articles and never read outside a file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lex_build.h"
#include "lex_format.h"
#include "lex_reader.h"
#include "wide.h"

namespace {

using lex::Found;

std::string R(const char* utf8) { return sv::Ru(utf8); }

constexpr char kLetters[] = u8"АБВГДЕЖЗИКЛМНОПРСТУФХЦЧШЩЭЮЯ";

// 320 headwords beginning with "ПОЛЕ" ("ПОЛЕ" + two letters), the headwords
// "П", "ПО" and "ПОЛЕ", and five under "ПРО".
std::vector<lex::SourceRecord> CommonWords() {
  std::vector<lex::SourceRecord> records;
  std::string letters = R(kLetters);
  for (int i = 0; i < 320; ++i) {
    std::string word = R(u8"ПОЛЕ") + letters[i / 32 % letters.size()] + letters[i % letters.size()] +
                       std::to_string(i);
    records.push_back({word, "article " + std::to_string(i)});
  }
  for (const char* word : {u8"п", u8"по", u8"поле", u8"простор", u8"проба", u8"провод", u8"просто", u8"прок"})
    records.push_back({R(word), R(word) + " - " + R(u8"статья")});
  return records;
}

struct Files {
  explicit Files(const std::vector<lex::SourceRecord>& records) {
    lex::BuildReport report;
    std::string error;
    EXPECT_TRUE(lex::BuildDictionary(records, &built, &report, &error)) << error;
  }
  lex::BuiltFiles built;
};

std::vector<std::string> Headwords(const std::vector<Found>& found) {
  std::vector<std::string> words;
  for (const Found& f : found) words.push_back(f.headword);
  return words;
}

std::vector<std::string> Search(const lex::BuiltFiles& files, const std::string& word,
                                lex::SearchKind* kind = nullptr) {
  lex::MemorySource index(files.index), words(files.words);
  lex::Dictionary dictionary(&index, &words);
  return Headwords(dictionary.Search(word, kind));
}

TEST(LexReader, ManyHeadwordsUnderABeginningListOnlyTheEqualOneUpToFourLetters) {
  Files files(CommonWords());
  lex::SearchKind kind;
  EXPECT_EQ(std::vector<std::string>{R(u8"П")}, Search(files.built, R(u8"п"), &kind));
  EXPECT_EQ(lex::SearchKind::kExact, kind);
  EXPECT_EQ(std::vector<std::string>{R(u8"ПО")}, Search(files.built, R(u8"по")));
  EXPECT_TRUE(Search(files.built, R(u8"пол")).empty());  // no headword "ПОЛ"
  EXPECT_EQ(std::vector<std::string>{R(u8"ПОЛЕ")}, Search(files.built, R(u8"поле")));
  // Five letters or more: always every headword with that beginning.
  std::vector<std::string> five = Search(files.built, R(u8"полеа"), &kind);
  EXPECT_EQ(lex::SearchKind::kPrefix, kind);
  ASSERT_EQ(32u, five.size());
  EXPECT_EQ(R(u8"ПОЛЕАА0"), five.front());
  for (const std::string& word : five) EXPECT_EQ(0u, word.find(R(u8"ПОЛЕА")));
}

TEST(LexReader, ARarerBeginningListsAllItsHeadwordsInFileOrder) {
  Files files(CommonWords());
  lex::SearchKind kind;
  EXPECT_EQ((std::vector<std::string>{R(u8"ПРОБА"), R(u8"ПРОВОД"), R(u8"ПРОК"), R(u8"ПРОСТО"), R(u8"ПРОСТОР")}),
            Search(files.built, R(u8"про"), &kind));
  EXPECT_EQ(lex::SearchKind::kPrefix, kind);
  EXPECT_EQ((std::vector<std::string>{R(u8"ПРОСТО"), R(u8"ПРОСТОР")}), Search(files.built, R(u8"прост")));
  EXPECT_TRUE(Search(files.built, R(u8"просторы")).empty());  // longer than every headword
  EXPECT_TRUE(Search(files.built, R(u8"ра")).empty());
  EXPECT_TRUE(Search(files.built, "").empty());
  lex::MemorySource index(files.built.index), words(files.built.words);
  lex::Dictionary dictionary(&index, &words);
  EXPECT_EQ(328u, dictionary.Count(R(u8"п")));
  EXPECT_EQ(5u, dictionary.Count(R(u8"ПРО")));
  EXPECT_EQ(1u, dictionary.Count(R(u8"простор")));
}

TEST(LexReader, LowerCaseAndYoFindHeadwordsStoredWithYe) {
  Files files({{R(u8"ёлка"), R(u8"Ёлка — хвойное дерево.")}, {R(u8"Ёж"), R(u8"ёж, ежи")}, {"Zebra", "zebra"}});
  EXPECT_EQ(std::vector<std::string>{R(u8"ЕЛКА")}, Search(files.built, R(u8"ёлк")));
  EXPECT_EQ(std::vector<std::string>{R(u8"ЕЛКА")}, Search(files.built, R(u8"Елка")));
  EXPECT_EQ(std::vector<std::string>{R(u8"ЕЖ")}, Search(files.built, R(u8"ёж")));
  EXPECT_EQ(std::vector<std::string>{"ZEBRA"}, Search(files.built, "zeb"));

  lex::MemorySource index(files.built.index), words(files.built.words), articles(files.built.articles);
  lex::Dictionary dictionary(&index, &words);
  std::vector<Found> found = dictionary.Search(R(u8"ёлка"));
  ASSERT_EQ(1u, found.size());
  std::string article = lex::ReadArticle(&articles, found[0]);
  EXPECT_EQ(R(u8"Ёлка — хвойное дерево."), article);  // the article keeps its "ё"
  EXPECT_EQ(R(u8"ЕЛКА\r\n=======\r\n\r\nЁлка — хвойное дерево."), lex::ArticleText(found[0].headword, article));
}

TEST(LexBuilder, ReadsTheSourceMergesEqualHeadwordsAndSkipsWhatARecordCannotHold) {
  std::string source = "# a comment\n\n@@  дом \nline one\r\n\r\nline two\n\n@@ ДОМ\nmore\n@@ \nnothing\n@@ " +
                       std::string(25, 'x') + "\nlong\n";
  std::vector<lex::SourceRecord> records = lex::ParseSource(R(source.c_str()));
  ASSERT_EQ(4u, records.size());
  EXPECT_EQ(R(u8"дом"), records[0].headword);
  EXPECT_EQ("line one\r\n\r\nline two", records[0].article);

  lex::BuiltFiles files;
  lex::BuildReport report;
  std::string error;
  ASSERT_TRUE(lex::BuildDictionary(records, &files, &report, &error));
  EXPECT_EQ(1u, report.headwords);
  EXPECT_EQ(1u, report.merged);
  EXPECT_EQ(1u, report.skippedEmpty);
  EXPECT_EQ(1u, report.skippedLong);
  lex::MemorySource index(files.index), words(files.words), articles(files.articles);
  lex::Dictionary dictionary(&index, &words);
  std::vector<Found> found = dictionary.Search(R(u8"дом"));
  ASSERT_EQ(1u, found.size());
  EXPECT_EQ("line one\r\n\r\nline two\r\n\r\nmore", lex::ReadArticle(&articles, found[0]));

  // An article longer than its length field ends at a line break.
  std::string huge;
  while (huge.size() < 70000) huge += std::string(99, 'a') + "\r\n";
  ASSERT_TRUE(lex::BuildDictionary({{"big", huge}}, &files, &report, &error));
  EXPECT_EQ(1u, report.cutArticles);
  EXPECT_EQ(65535u / 101 * 101 - 2, files.articles.size());
}

// The format is fixed by its keys: delivered dictionaries must keep reading.
TEST(LexFormat, RecordsAreScrambledWithTheFormatsKeys) {
  std::string stored = lex::EncodeIndexRecord({"AB", 0x01020304, 0x0506});
  ASSERT_EQ(11u, stored.size());
  const unsigned char plain[11] = {2, 'A', 'B', 0, 0, 4, 3, 2, 1, 6, 5};
  for (size_t i = 0; i < 11; ++i)
    EXPECT_EQ(static_cast<unsigned char>((plain[i] ^ 0x5C) + i), static_cast<unsigned char>(stored[i])) << i;
  std::string article = "Text";
  lex::ScrambleArticle(&article);
  EXPECT_EQ(static_cast<char>('T' ^ 0xB3), article[0]);
}

// ---- damaged files ----

class DamagedFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    Files files({{R(u8"арка"), "arch"}, {R(u8"бор"), "forest"}, {R(u8"вол"), "ox"}});
    built_ = files.built;
  }
  std::vector<std::string> SearchIn(const std::string& indexBytes, const std::string& wordBytes,
                                    const std::string& word) {
    lex::MemorySource index(indexBytes), words(wordBytes);
    lex::Dictionary dictionary(&index, &words);
    return Headwords(dictionary.Search(word));
  }
  lex::BuiltFiles built_;
};

TEST_F(DamagedFiles, AnIndexThatIsNotSortedOrDoesNotDecodeIsNotUsed) {
  std::string swapped = built_.index.substr(11, 11) + built_.index.substr(0, 11) + built_.index.substr(22);
  EXPECT_TRUE(SearchIn(swapped, built_.words, R(u8"бор")).empty());
  lex::MemorySource index(swapped);
  EXPECT_FALSE(lex::Dictionary(&index, nullptr).Usable());

  std::string badLength = built_.index;
  badLength[0] = static_cast<char>((7 ^ lex::kRecordKey) + 0);  // a prefix of 7 letters
  EXPECT_TRUE(SearchIn(badLength, built_.words, R(u8"бор")).empty());
  // A partial record at the end is not read; the whole ones are.
  EXPECT_EQ(std::vector<std::string>{R(u8"БОР")}, SearchIn(built_.index + "xyz", built_.words, R(u8"бор")));
}

TEST_F(DamagedFiles, AGroupPastTheWordFileOrAWordThatDoesNotDecodeGivesAnEmptyList) {
  std::string shortWords = built_.words.substr(0, 2 * lex::kWordRecordSize + 10);
  EXPECT_TRUE(SearchIn(built_.index, shortWords, R(u8"вол")).empty());
  EXPECT_EQ(std::vector<std::string>{R(u8"АРКА")}, SearchIn(built_.index, shortWords, R(u8"ар")));
  // A group whose first word number or size is far beyond the file.
  std::string far = built_.index;
  far.replace(0, 11, lex::EncodeIndexRecord({R(u8"АРКА"), 0xFFFFFFF0u, 0xFFFF}));
  EXPECT_TRUE(SearchIn(far, built_.words, R(u8"арка")).empty());

  std::string badWord = built_.words;
  badWord[lex::kWordRecordSize] = static_cast<char>(30 ^ lex::kRecordKey);  // a headword of 30 letters
  EXPECT_TRUE(SearchIn(built_.index, badWord, R(u8"бор")).empty());
  EXPECT_TRUE(SearchIn("", "", R(u8"бор")).empty());  // both files missing
}

TEST_F(DamagedFiles, AnArticlePastTheArticleFileIsEmpty) {
  lex::MemorySource articles(built_.articles), none;
  EXPECT_EQ("arch", lex::ReadArticle(&articles, {R(u8"АРКА"), 0, 4}));
  EXPECT_EQ("", lex::ReadArticle(&articles, {"X", 0xFFFFFFFFu, 0xFFFF}));
  EXPECT_EQ("", lex::ReadArticle(&articles, {"X", static_cast<uint32_t>(built_.articles.size()) - 1, 2}));
  EXPECT_EQ("", lex::ReadArticle(&none, {R(u8"АРКА"), 0, 4}));
  EXPECT_EQ("", lex::ReadArticle(nullptr, {R(u8"АРКА"), 0, 4}));
}

}  // namespace
