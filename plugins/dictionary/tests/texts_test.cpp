// What the window makes of an article: the saved file's name, the mail
// address and the printed lines.
#include <gtest/gtest.h>

#include "article_texts.h"
#include "wide.h"

namespace {

using lexikon::MailUrl;
using lexikon::PrintLines;
using lexikon::SaveFileName;

TEST(LexikonTexts, SavingWithTheTextFilterAddsTxtUnlessTheNameEndsInIt) {
  EXPECT_EQ("C:\\notes\\dom.txt", SaveFileName("C:\\notes\\dom", 1));
  EXPECT_EQ("C:\\notes\\DOM.TXT", SaveFileName("C:\\notes\\DOM.TXT", 1));
  EXPECT_EQ("C:\\notes\\dom.Txt", SaveFileName("C:\\notes\\dom.Txt", 1));
  EXPECT_EQ("C:\\notes\\dom.doc.txt", SaveFileName("C:\\notes\\dom.doc", 1));
  EXPECT_EQ("C:\\notes\\dom", SaveFileName("C:\\notes\\dom", 2));  // "All files"
}

TEST(LexikonTexts, TheMailBodyBreaksAtTheHeadingAndBetweenLinesAndEscapesWhatWouldCutIt) {
  std::string shown = sv::Ru(u8"ДОМ\r\n=======\r\n\r\nжилище; здание\r\n\r\nhome & house #1 100%");
  EXPECT_EQ(sv::Ru(u8"mailto:@mail?body=ДОМ%0d%0a%0d%0aжилище; здание%0d%0a%0d%0ahome %26 house %231 100%25"),
            MailUrl(shown));
  EXPECT_EQ("mailto:@mail?body=X%0d%0a%0d%0a", MailUrl("X\r\n=======\r\n\r\n"));
}

TEST(LexikonTexts, ThePrintedPageHasItsHeadingAndIndentedLines) {
  std::vector<std::string> lines = PrintLines("Title", "http://host/download/", "WORD\r\n=======\r\n\r\ntext");
  std::vector<std::string> expected = {"", "", "", "      Title     -     http://host/download/", "", "", "",
                                       "     WORD", "     =======", "     ", "     text"};
  EXPECT_EQ(expected, lines);
}

}  // namespace
