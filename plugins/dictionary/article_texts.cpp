#include "article_texts.h"

#include "lex_reader.h"

namespace lexikon {

namespace {

constexpr char kMailPrefix[] = "mailto:@mail?body=";
constexpr char kMailLineBreak[] = "%0d%0a";
constexpr char kTextExtension[] = ".txt";
constexpr char kHeadingIndent[] = "      ";
constexpr char kHeadingSeparator[] = "     -     ";
constexpr char kLineIndent[] = "     ";
constexpr int kMarginLines = 3;

void AppendEscaped(std::string* out, std::string_view line) {
  for (char c : line) {
    switch (c) {
      case '%': *out += "%25"; break;
      case '&': *out += "%26"; break;
      case '#': *out += "%23"; break;
      default: *out += c; break;
    }
  }
}

}  // namespace

std::string SaveFileName(std::string name1251, int filterIndex) {
  if (filterIndex != kTextFilterIndex) return name1251;
  size_t length = sizeof(kTextExtension) - 1;
  bool hasExtension = name1251.size() >= length &&
                      lex::UpperHeadword(std::string_view(name1251).substr(name1251.size() - length)) == ".TXT";
  if (!hasExtension) name1251 += kTextExtension;
  return name1251;
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  std::string line;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(std::move(line));
      line.clear();
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      line += c;
    }
  }
  if (!line.empty() || text.empty() || (text.back() != '\n' && text.back() != '\r')) lines.push_back(std::move(line));
  return lines;
}

std::string MailUrl(std::string_view shownText) {
  std::string url = kMailPrefix;
  bool needBreak = false, afterHeading = false;
  for (const std::string& line : SplitLines(shownText)) {
    if (line == lex::kArticleHeadingLine) {
      url += kMailLineBreak;
      url += kMailLineBreak;
      needBreak = false;
      afterHeading = true;
      continue;
    }
    // The empty line below the heading is in the two breaks already.
    if (afterHeading && line.empty()) {
      afterHeading = false;
      continue;
    }
    afterHeading = false;
    if (needBreak) url += kMailLineBreak;
    AppendEscaped(&url, line);
    needBreak = true;
  }
  return url;
}

std::vector<std::string> PrintLines(std::string_view title, std::string_view downloadPage, std::string_view shownText) {
  std::vector<std::string> lines(kMarginLines);
  lines.push_back(std::string(kHeadingIndent) + std::string(title) + kHeadingSeparator + std::string(downloadPage));
  lines.resize(lines.size() + kMarginLines);
  for (const std::string& line : SplitLines(shownText)) lines.push_back(kLineIndent + line);
  return lines;
}

}  // namespace lexikon
