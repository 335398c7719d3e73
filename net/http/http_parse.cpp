#include "http_parse.h"

#include <cctype>
#include <cstring>

namespace svnet {

namespace {

// "HTTP/1.x NNN reason": the minor version digit, a blank, three digits.
constexpr std::string_view kVersionPrefix = "HTTP/1.";
constexpr size_t kMinorAt = kVersionPrefix.size();
constexpr size_t kStatusAt = kMinorAt + 2;
constexpr size_t kStatusDigits = 3;
constexpr size_t kStatusEnd = kStatusAt + kStatusDigits;
constexpr int kFirstStatus = 100;
// Lengths and chunk sizes of up to 15 digits stay far below 2^53 (and 16^15
// below 2^60), so they never overflow.
constexpr size_t kMaxNumberDigits = 15;
// Two-digit years (RFC 850): 70..99 are 19xx, 00..69 are 20xx.
constexpr int kTwoDigitPivot = 70;
constexpr int kFirstYear = 1601;  // earlier years are refused as unreadable
constexpr int kSecondsPerHour = 3600, kSecondsPerMinute = 60;
constexpr double kSecondsPerDay = 86400.0;

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

// Days from 30 December 1899 to the given civil date (proleptic Gregorian).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = (unsigned)(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + (int64_t)doe - 719468 + 25569;  // 25569 = 1970-01-01
}

int MonthIndex(std::string_view m) {
  static const char* names[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                "jul", "aug", "sep", "oct", "nov", "dec"};
  for (int i = 0; i < 12; ++i)
    if (EqualsNoCase(m, names[i])) return i + 1;
  return 0;
}

bool Number(std::string_view s, int* v) {
  if (s.empty() || s.size() > 4) return false;
  int n = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
    n = n * 10 + (c - '0');
  }
  *v = n;
  return true;
}

bool Clock(std::string_view s, int* h, int* mi, int* se) {
  if (s.size() != 8 || s[2] != ':' || s[5] != ':') return false;
  return Number(s.substr(0, 2), h) && Number(s.substr(3, 2), mi) && Number(s.substr(6, 2), se) && *h < 24 &&
         *mi < 60 && *se < 62;
}

std::vector<std::string_view> Words(std::string_view s) {
  std::vector<std::string_view> out;
  size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && (s[i] == ' ' || s[i] == ',' || s[i] == '-')) ++i;
    size_t j = i;
    while (j < s.size() && s[j] != ' ' && s[j] != ',' && s[j] != '-') ++j;
    if (j > i) out.push_back(s.substr(i, j - i));
    i = j;
  }
  return out;
}

}  // namespace

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower((unsigned char)a[i]) != std::tolower((unsigned char)b[i])) return false;
  return true;
}

const std::string* HttpHeaders::Find(std::string_view name) const {
  for (auto& kv : items)
    if (EqualsNoCase(kv.first, name)) return &kv.second;
  return nullptr;
}

bool ParseHead(std::string_view head, ParsedHead* out) {
  *out = ParsedHead();
  size_t eol = head.find('\n');
  std::string_view line = Trim(head.substr(0, eol));
  // "HTTP/1.x NNN reason"
  if (line.size() < kStatusEnd || !EqualsNoCase(line.substr(0, kMinorAt), kVersionPrefix) ||
      !std::isdigit((unsigned char)line[kMinorAt]) || line[kMinorAt + 1] != ' ')
    return false;
  out->minorVersion = line[kMinorAt] - '0';
  std::string_view code = line.substr(kStatusAt, kStatusDigits);
  int status = 0;
  for (char c : code) {
    if (c < '0' || c > '9') return false;
    status = status * 10 + (c - '0');
  }
  if (status < kFirstStatus || (line.size() > kStatusEnd && line[kStatusEnd] != ' ')) return false;
  out->status = status;
  while (eol != std::string_view::npos) {
    size_t start = eol + 1;
    eol = head.find('\n', start);
    std::string_view l = head.substr(start, eol == std::string_view::npos ? std::string_view::npos : eol - start);
    if (!l.empty() && l.back() == '\r') l.remove_suffix(1);
    if (l.empty()) continue;
    if ((l[0] == ' ' || l[0] == '\t') && !out->headers.items.empty()) {  // obsolete line folding
      out->headers.items.back().second += " ";
      out->headers.items.back().second += std::string(Trim(l));
      continue;
    }
    size_t colon = l.find(':');
    if (colon == std::string_view::npos || colon == 0) return false;
    out->headers.items.emplace_back(std::string(Trim(l.substr(0, colon))), std::string(Trim(l.substr(colon + 1))));
  }
  return true;
}

bool ParseContentLength(std::string_view text, int64_t* value) {
  text = Trim(text);
  if (text.empty() || text.size() > kMaxNumberDigits) return false;
  int64_t v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  *value = v;
  return true;
}

bool ParseChunkSize(std::string_view line, uint64_t* size) {
  size_t semi = line.find(';');
  if (semi != std::string_view::npos) line = line.substr(0, semi);
  line = Trim(line);
  if (line.empty() || line.size() > kMaxNumberDigits) return false;
  uint64_t v = 0;
  for (char c : line) {
    int d;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
    else return false;
    v = v * 16 + (uint64_t)d;
  }
  *size = v;
  return true;
}

bool ParseHttpDate(std::string_view text, double* days) {
  auto w = Words(Trim(text));
  int day = 0, year = 0, month = 0, h = 0, mi = 0, se = 0;
  // Forms: "Sun, 06 Nov 1994 08:49:37 GMT", "Sunday, 06-Nov-94 08:49:37 GMT",
  // "Sun Nov  6 08:49:37 1994".
  if (w.size() >= 5 && (month = MonthIndex(w[2])) && Number(w[1], &day) && Number(w[3], &year) &&
      Clock(w[4], &h, &mi, &se)) {
    if (w[3].size() == 2) year += year < kTwoDigitPivot ? 2000 : 1900;
  } else if (w.size() >= 5 && (month = MonthIndex(w[1])) && Number(w[2], &day) && Clock(w[3], &h, &mi, &se) &&
             Number(w[4], &year)) {
  } else {
    return false;
  }
  if (day < 1 || day > 31 || year < kFirstYear) return false;
  *days = (double)DaysFromCivil(year, (unsigned)month, (unsigned)day) +
          (h * kSecondsPerHour + mi * kSecondsPerMinute + se) / kSecondsPerDay;
  return true;
}

}  // namespace svnet
