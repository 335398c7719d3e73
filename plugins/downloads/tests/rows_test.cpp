// The rows, cell texts and command values of the downloads window, without
// a window: what the manager's list turns into on screen.
#include <gtest/gtest.h>

#include "commands.h"
#include "job_rows.h"

namespace fetchkeeper {
namespace {

TEST(ByteTexts, SwitchUnitsAtTheBinaryBoundaries) {
  EXPECT_EQ("800", FormatBytes(800));
  EXPECT_EQ("1023", FormatBytes(1023));
  EXPECT_EQ("1.0 k", FormatBytes(1024));
  EXPECT_EQ("1024.0 k", FormatBytes(1048575));
  EXPECT_EQ("1.0 M", FormatBytes(1048576));
  EXPECT_EQ("0", FormatBytes(0));
  // Sizes beyond 2 GB must not wrap into negative numbers.
  EXPECT_EQ("3072.0 M", FormatBytes(3221225472LL));
}

TEST(Percent, IsTruncatedCappedAndZeroWithoutTotal) {
  EXPECT_EQ(0, Percent(0, 500));
  EXPECT_EQ(33, Percent(3, 1));
  EXPECT_EQ(99, Percent(1000, 999));
  EXPECT_EQ(100, Percent(100, 250));  // a server that sent more than it announced
  EXPECT_EQ(50, Percent(3000000000LL, 1500000000LL));  // no overflow of done * 100
}

TEST(RemainingTime, NeedsSizesAndANumericSpeedAboveZero) {
  EXPECT_EQ("0:01:40", RemainingTime(1380000, 100000, "12.5"));
  EXPECT_EQ("2:46:40", RemainingTime(10240000 + 1, 1, "1"));
  EXPECT_EQ("", RemainingTime(0, 100, "12.5"));
  EXPECT_EQ("", RemainingTime(1000, 0, "12.5"));
  EXPECT_EQ("", RemainingTime(1000, 10, "0"));
  EXPECT_EQ("", RemainingTime(1000, 10, ""));
  EXPECT_EQ("", RemainingTime(1000, 10, "fast"));
}

TEST(Rows, AreFilledFromTheJobListAndCutToItsLength) {
  std::vector<JobRow> rows;
  FillRows("7\tbig.zip\t4\t1380000\t100000\t12.5\n3\tsmall.txt\t9\t800\t800\t\n", rows);
  ASSERT_EQ(2u, rows.size());
  EXPECT_EQ(7u, rows[0].code);
  EXPECT_EQ(4, rows[0].status);
  EXPECT_EQ("big.zip", rows[0].title);
  EXPECT_EQ("1.3 M", rows[0].sizeText);
  EXPECT_EQ("97.7 k", rows[0].doneText);
  EXPECT_EQ(7, rows[0].percent);
  EXPECT_EQ("0:01:40", rows[0].remainingText);
  EXPECT_EQ("", rows[1].remainingText);

  // A shorter list reuses the first record and frees the rest; a damaged line
  // reads as zeros rather than stopping the list.
  FillRows("x\tbroken\ty\tz\t\t\n", rows);
  ASSERT_EQ(1u, rows.size());
  EXPECT_EQ(0u, rows[0].code);
  EXPECT_EQ(0, rows[0].status);
  EXPECT_EQ("broken", rows[0].title);
  EXPECT_EQ("", rows[0].speedText);
  EXPECT_EQ("", rows[0].remainingText);

  FillRows("", rows);
  EXPECT_TRUE(rows.empty());
}

TEST(Cells, HideZerosAndAddUnits) {
  std::vector<JobRow> rows;
  FillRows("1\tnew.bin\t0\t5000\t0\t\n2\tgoing.bin\t4\t2048\t1024\t3.5\n", rows);
  ASSERT_EQ(2u, rows.size());
  // Nothing done yet: no progress and no "done" figure.
  EXPECT_EQ("new.bin", CellText(rows[0], kColumnTitle));
  EXPECT_EQ("", CellText(rows[0], kColumnProgress));
  EXPECT_EQ("", CellText(rows[0], kColumnDone));
  EXPECT_EQ("4.9 k", CellText(rows[0], kColumnSize));
  EXPECT_EQ("", CellText(rows[0], kColumnSpeed));

  EXPECT_EQ("50 %", CellText(rows[1], kColumnProgress));
  EXPECT_EQ("1.0 k", CellText(rows[1], kColumnDone));
  EXPECT_EQ("2.0 k", CellText(rows[1], kColumnSize));
  EXPECT_EQ("3.5 kB/s", CellText(rows[1], kColumnSpeed));
  EXPECT_EQ("0:00:00", CellText(rows[1], kColumnRemaining));
  EXPECT_EQ("", CellText(rows[1], kColumnCount));
}

TEST(RowStyles, FollowTheStatus) {
  EXPECT_EQ(RowStyle::kNavy, StyleOfStatus(1));
  EXPECT_EQ(RowStyle::kMaroon, StyleOfStatus(10));
  EXPECT_EQ(RowStyle::kBold, StyleOfStatus(7));
  EXPECT_EQ(RowStyle::kGrey, StyleOfStatus(12));
  EXPECT_EQ(RowStyle::kRed, StyleOfStatus(11));
  EXPECT_EQ(RowStyle::kNormal, StyleOfStatus(5));
  EXPECT_EQ(RowStyle::kNormal, StyleOfStatus(200));
}

TEST(ButtonPictures, FollowTheManagersSettings) {
  const int sleeps[] = {0, 1, 2, 4, 5, 7, 9, 10, 19, 20, 49, 50, 99, 100, 1000};
  const int speedPictures[] = {17, 17, 16, 16, 15, 15, 15, 14, 14, 13, 13, 12, 12, 11, 11};
  for (size_t i = 0; i < std::size(sleeps); ++i)
    EXPECT_EQ(speedPictures[i], SpeedButtonImage(sleeps[i])) << "ThreadsSleep " << sleeps[i];
  const int counts[] = {0, 1, 2, 3, 4, 5, 9, 10, 50};
  const int threadPictures[] = {7, 7, 8, 8, 8, 9, 9, 10, 10};
  for (size_t i = 0; i < std::size(counts); ++i)
    EXPECT_EQ(threadPictures[i], ThreadsButtonImage(counts[i])) << "ThreadsCount " << counts[i];
  // Each menu choice shows its own picture once the manager has taken it.
  for (size_t i = 0; i + 1 < std::size(kSpeedChoices); ++i)
    EXPECT_NE(SpeedButtonImage(kSpeedChoices[i].value), SpeedButtonImage(kSpeedChoices[i + 1].value));
}

TEST(Urls, OnlyHttpInAnyCaseIsAccepted) {
  EXPECT_TRUE(IsAcceptedUrl("http://host/file.zip"));
  EXPECT_TRUE(IsAcceptedUrl("HTTP://HOST/FILE.ZIP"));
  EXPECT_TRUE(IsAcceptedUrl("HtTp://h"));
  EXPECT_FALSE(IsAcceptedUrl("ftp://host/file"));
  EXPECT_FALSE(IsAcceptedUrl("https://host/file"));
  EXPECT_FALSE(IsAcceptedUrl("http:/"));
  EXPECT_FALSE(IsAcceptedUrl(""));
  // The refusal lists the accepted forms on lines of their own.
  EXPECT_EQ(0u, RefusedUrlText().find("\xCD\xE5 \xEF\xF0\xE0\xE2\xE8\xEB\xFC\xED\xEE\xE9 URL!\r\r"));
  EXPECT_NE(std::string::npos, RefusedUrlText().find("\r  http://"));
}

TEST(SaveFolder, DefaultsToTheProgramDrive) {
  EXPECT_EQ("D:\\SVDownloads", DefaultSaveFolder("", "D:\\Programs\\Solvika\\"));
  EXPECT_EQ("E:\\mine", DefaultSaveFolder("E:\\mine", "D:\\Programs\\Solvika\\"));
  EXPECT_EQ("C:\\x\\", WithTrailingSlash("C:\\x"));
  EXPECT_EQ("C:\\x\\", WithTrailingSlash("C:\\x\\"));
}

}  // namespace
}  // namespace fetchkeeper
