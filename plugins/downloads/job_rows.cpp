#include "job_rows.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>

namespace fetchkeeper {

namespace {

constexpr int64_t kKilo = 1024;
constexpr int64_t kMega = kKilo * kKilo;
constexpr size_t kRowGrowth = 20;  // the row array grows by this many records
constexpr int kSecondsPerMinute = 60;
constexpr int kSecondsPerHour = 3600;

// A whole number, 0 when the text is not one (a manager line may be damaged).
int64_t ToInteger(std::string_view text) {
  int64_t v = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), v);
  return (error == std::errc() && end == text.data() + text.size()) ? v : 0;
}

// A decimal number with a dot; false when the text is not one.
bool ToReal(std::string_view text, double* value) {
  if (text.empty()) return false;
  std::string s(text);
  char* end = nullptr;
  double v = std::strtod(s.c_str(), &end);
  if (!end || *end != '\0') return false;
  *value = v;
  return true;
}

std::string OneDecimal(double value, const char* unit) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.1f %s", value, unit);
  return buffer;
}

// The next tab-separated field of `line`, consumed from its front.
std::string_view NextField(std::string_view& line) {
  size_t tab = line.find('\t');
  std::string_view field = line.substr(0, tab);
  line = tab == std::string_view::npos ? std::string_view() : line.substr(tab + 1);
  return field;
}

}  // namespace

std::string FormatBytes(int64_t bytes) {
  if (bytes > kMega - 1) return OneDecimal(static_cast<double>(bytes) / kKilo / kKilo, "M");
  if (bytes > kKilo - 1) return OneDecimal(static_cast<double>(bytes) / kKilo, "k");
  return std::to_string(bytes);
}

uint8_t Percent(int64_t total, int64_t done) {
  if (total <= 0 || done <= 0) return 0;
  int64_t p = done * 100 / total;
  return static_cast<uint8_t>(p > 100 ? 100 : p);
}

std::string RemainingTime(int64_t total, int64_t done, std::string_view speedKb) {
  double speed = 0;
  if (total == 0 || done == 0 || !ToReal(speedKb, &speed) || speed <= 0) return std::string();
  int64_t left = total - done;
  if (left < 0) left = 0;
  int64_t seconds = static_cast<int64_t>(static_cast<double>(left) / kKilo / speed);
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%lld:%02d:%02d", static_cast<long long>(seconds / kSecondsPerHour),
                static_cast<int>(seconds % kSecondsPerHour / kSecondsPerMinute),
                static_cast<int>(seconds % kSecondsPerMinute));
  return buffer;
}

void FillRows(std::string_view jobsList, std::vector<JobRow>& rows) {
  size_t count = 0;
  while (!jobsList.empty()) {
    size_t end = jobsList.find('\n');
    std::string_view line = jobsList.substr(0, end);
    jobsList = end == std::string_view::npos ? std::string_view() : jobsList.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) continue;

    if (count == rows.size()) {
      if (rows.size() == rows.capacity()) rows.reserve(rows.capacity() + kRowGrowth);
      rows.emplace_back();
    }
    JobRow& row = rows[count++];
    row.code = static_cast<uint32_t>(ToInteger(NextField(line)));
    row.title = std::string(NextField(line));
    row.status = static_cast<uint8_t>(ToInteger(NextField(line)));
    int64_t total = ToInteger(NextField(line));
    int64_t done = ToInteger(NextField(line));
    row.speedText = std::string(NextField(line));
    row.percent = Percent(total, done);
    row.sizeText = FormatBytes(total);
    row.doneText = FormatBytes(done);
    row.remainingText = RemainingTime(total, done, row.speedText);
  }
  rows.resize(count);
}

std::string CellText(const JobRow& row, int column) {
  switch (column) {
    case kColumnTitle:
      return row.title;
    case kColumnProgress:
      return (row.sizeText != "0" && row.doneText != "0") ? std::to_string(row.percent) + " %" : std::string();
    case kColumnDone:
      return row.doneText != "0" ? row.doneText : std::string();
    case kColumnSize:
      return row.sizeText != "0" ? row.sizeText : std::string();
    case kColumnSpeed:
      return row.speedText.empty() ? std::string() : row.speedText + " kB/s";
    case kColumnRemaining:
      return row.remainingText;
    default:
      return std::string();
  }
}

RowStyle StyleOfStatus(uint8_t status) {
  switch (status) {
    case 0: case 1: return RowStyle::kNavy;
    case 2: case 8: case 10: return RowStyle::kMaroon;
    case 4: case 6: case 7: return RowStyle::kBold;
    case 9: case 12: return RowStyle::kGrey;
    case 11: return RowStyle::kRed;
    default: return RowStyle::kNormal;
  }
}

}  // namespace fetchkeeper
