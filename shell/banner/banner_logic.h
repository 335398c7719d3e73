// The banner grid's plain rules: which square the mouse is over, what its
// hint is, where a click goes, and how a banner description (".icom") is
// read. No windows here.
#pragma once

#include <string>
#include <vector>

namespace shell {

constexpr int kBannerSquareSize = 10;      // pixels per square side
constexpr int kBannerSquaresPerRow = 12;   // the grid is 120 pixels wide
constexpr int kBannerSquareCount = 1200;   // squares 1..1200; 0 is the default hint
constexpr char kDefaultBannerName[] = "Solvika";
constexpr char kBannerFolder[] = "Solvika.com";
constexpr char kBannerPictureExtension[] = ".bcom";
constexpr char kBannerDescriptionExtension[] = ".icom";
constexpr char kBannerServerPath[] = "client/com/";

// What a description file says. Index 0 of hints is the default hint;
// 1..1200 belong to the squares (links likewise, index 0 unused).
struct BannerDescription {
  int version = 0;
  bool enabled = true;
  std::vector<std::string> hints = std::vector<std::string>(kBannerSquareCount + 1);
  std::vector<std::string> links = std::vector<std::string>(kBannerSquareCount + 1);
};

// Applies one line "key<TAB>value" (the first tab splits; a line without a
// key is skipped). Unknown keys and square numbers outside 1..1200 change
// nothing.
void ApplyBannerLine(BannerDescription* description, const std::string& line);
// A whole file: everything cleared, then every line (CR LF or LF) applied.
BannerDescription ParseBannerDescription(const std::string& text);

// The banner name for a plugin key: a leading "*" dropped; empty is "Solvika".
std::string BannerNameFor(const std::string& key);

// The square under a point of the picture, 1-based: 12 squares to a row.
int BannerSquareAt(int x, int y);
// The hint of the square under a point: its own, or the default hint with a
// line "Квадрат: (column:row)" under it.
std::string BannerHintAt(const BannerDescription& description, int x, int y);

// Where a click on `square` goes: its link, or the click counter of the
// script base (`scriptBase` ends in "/"), with the name URL-encoded.
struct BannerClick {
  std::string scriptBase;
  std::string bannerName;
  int version = 0;
  std::string clientNumber;
  std::string clientId;
};
std::string BannerClickAddress(const BannerDescription& description, int square, const BannerClick& click);

// The request header of a banner click: "Referer: " + referrer + "?client".
std::string BannerClickHeaders(const std::string& referrer);

// The form encoding of a query value (UrlEncode of the utility library).
std::string UrlQueryEncode(const std::string& text);

}  // namespace shell
