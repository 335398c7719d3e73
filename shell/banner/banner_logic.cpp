#include "banner_logic.h"

#include "decimal.h"
#include "svstring.h"
#include "wide.h"
#include "SolvikaUtils.h"

namespace shell {

namespace {

constexpr char kClickScript[] = "client/click.php";

// "version" as an integer: anything that is not a (signed) number is 0.
int VersionValue(const std::string& text) {
  std::string_view digits = text;
  if (!digits.empty() && (digits[0] == '-' || digits[0] == '+')) digits.remove_prefix(1);
  if (!sv::IsDecimal(digits)) return 0;
  return static_cast<int>(sv::ParseDecimal(text));
}

// A square number 1..1200 written in decimal, or 0.
int SquareNumber(const std::string& text) {
  if (!sv::IsDecimal(text) || text.size() > 4) return 0;
  int n = static_cast<int>(sv::ParseDecimal(text));
  return n >= 1 && n <= kBannerSquareCount ? n : 0;
}

std::string TabsToLineBreaks(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\t')
      out += "\r\n";
    else
      out += c;
  }
  return out;
}

}  // namespace

void ApplyBannerLine(BannerDescription* d, const std::string& line) {
  size_t tab = line.find('\t');
  std::string key = line.substr(0, tab);
  std::string value = tab == std::string::npos ? std::string() : line.substr(tab + 1);
  if (key.empty()) return;
  if (key == "version") {
    d->version = VersionValue(value);
  } else if (key == "enabled") {
    d->enabled = value != "0";
  } else if (key == "default") {
    d->hints[0] = value;
  } else if (key[0] == 'x') {
    if (int n = SquareNumber(key.substr(1))) d->links[n] = value;
  } else if (int n = SquareNumber(key)) {
    d->hints[n] = TabsToLineBreaks(value);
  }
}

BannerDescription ParseBannerDescription(const std::string& text) {
  BannerDescription d;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    ApplyBannerLine(&d, line);
    start = end + 1;
  }
  return d;
}

std::string BannerNameFor(const std::string& key) {
  std::string name = !key.empty() && key[0] == '*' ? key.substr(1) : key;
  return name.empty() ? kDefaultBannerName : name;
}

int BannerSquareAt(int x, int y) {
  return (y / kBannerSquareSize) * kBannerSquaresPerRow + (x / kBannerSquareSize) + 1;
}

std::string BannerHintAt(const BannerDescription& d, int x, int y) {
  int square = BannerSquareAt(x, y);
  if (square >= 1 && square <= kBannerSquareCount && !d.hints[square].empty()) return d.hints[square];
  return d.hints[0] + "\r\n" + sv::Ru(u8"Квадрат: (") + std::to_string(x / kBannerSquareSize + 1) + ":" +
         std::to_string(y / kBannerSquareSize + 1) + ")";
}

std::string UrlQueryEncode(const std::string& text) {
  sv::OwnedStr bytes(text);
  return sv::Take(UrlEncode(bytes.Get()));
}

std::string BannerClickAddress(const BannerDescription& d, int square, const BannerClick& c) {
  if (square >= 1 && square <= kBannerSquareCount && !d.links[square].empty()) return d.links[square];
  return c.scriptBase + kClickScript + "?n=" + std::to_string(square) + "&v=" + std::to_string(c.version) +
         "&p=" + UrlQueryEncode(c.bannerName) + "&u=" + c.clientNumber + "&s=" + c.clientId;
}

std::string BannerClickHeaders(const std::string& referrer) { return "Referer: " + referrer + "?client\r\n"; }

}  // namespace shell
