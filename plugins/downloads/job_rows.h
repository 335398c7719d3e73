// The rows the downloads window shows: the manager's job list read into
// records, with the size, progress, speed and remaining-time texts worked out
// once per refresh, and the cell texts the list view asks for.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace fetchkeeper {

struct JobRow {
  uint32_t code = 0;
  uint8_t status = 0;
  uint8_t percent = 0;  // 0 to 100
  std::string title;
  std::string sizeText;
  std::string doneText;
  std::string speedText;
  std::string remainingText;
};

enum Column { kColumnTitle, kColumnProgress, kColumnDone, kColumnSize, kColumnSpeed, kColumnRemaining, kColumnCount };

// Bytes as shown in the list: "1.5 M" above 1048575, "12.0 k" above 1023,
// else the plain number.
std::string FormatBytes(int64_t bytes);
// done * 100 / total, truncated and at most 100; 0 when total is 0.
uint8_t Percent(int64_t total, int64_t done);
// "h:mm:ss" for what is left at `speedKb` kB/s; empty when total or done is 0
// or the speed is not a number above 0.
std::string RemainingTime(int64_t total, int64_t done, std::string_view speedKb);

// Reads the manager's job list (one line per job: code, title, status,
// total, done, speed, tab-separated) into `rows`, reusing the records it has
// and cutting it to the number of lines.
void FillRows(std::string_view jobsList, std::vector<JobRow>& rows);

// The text of a cell of the list.
std::string CellText(const JobRow& row, int column);

// How the list draws a row's title, by status.
enum class RowStyle { kNormal, kNavy, kMaroon, kBold, kGrey, kRed };
RowStyle StyleOfStatus(uint8_t status);

}  // namespace fetchkeeper
