#include "page_text.h"

#include "page_definition.h"

namespace svbrowser {

namespace {

constexpr char kResourceScheme[] = "res://";
constexpr char kPageHead[] =
    "<html><head><META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=windows-1251\"></head>";
constexpr char kPageBackground[] = "#d8d8d8";
constexpr char kPageEnd[] = "</body></html>";
constexpr char kTemporaryPrefix[] = "~Solvika.";
constexpr char kTemporarySuffix[] = ".tmp.html";
constexpr size_t kMaxTemporaryIdLength = 64;

// Windows-1251 bytes of the page's Russian texts (the tests hold them
// against the readable text).
constexpr char kErrorHead[] =
    "Internet Explorer \xcd\xc5 \xcc\xce\xc6\xc5\xd2 \xcf\xce\xc4\xca\xcb\xde\xd7\xc8\xd2\xdc\xd1\xdf \xca "
    "\xd1\xc5\xd0\xc2\xc5\xd0\xd3!<br><br>";
constexpr char kErrorReason[] =
    "\xcd\xe5 \xed\xe0\xe9\xe4\xe5\xed\xee \xe0\xea\xf2\xe8\xe2\xed\xee\xe5 "
    "\xef\xee\xe4\xea\xeb\xfe\xf7\xe5\xed\xe8\xe5 \xea \xc8\xed\xf2\xe5\xf0\xed\xe5\xf2\xf3 "
    "\xe8\xeb\xe8 \xc2\xe0\xf8 Internet Explorer \xed\xe5 \xed\xe0\xf1\xf2\xf0\xee\xe5\xed "
    "\xed\xe0 \xf0\xe0\xe1\xee\xf2\xf3 \xe2 \xf1\xe5\xf2\xe8.<br>";
constexpr char kErrorAdvice[] =
    "\xcf\xf0\xee\xe2\xe5\xf0\xfc\xf2\xe5 \xf1\xee\xe5\xe4\xe8\xed\xe5\xed\xe8\xe5 \xe8\xeb\xe8 "
    "\xed\xe0\xf1\xf2\xf0\xee\xe9\xf2\xe5 Internet Explorer<br><br>";
constexpr char kRetryText[] = "\xcf\xee\xe2\xf2\xee\xf0\xe8\xf2\xfc";
constexpr char kHomeText[] = "\xcd\xe0 \xf1\xf2\xe0\xf0\xf2\xee\xe2\xf3\xfe";

std::string Link(std::string_view url, std::string_view text) {
  std::string link = "<a href=\"";
  link += url;
  link += "\">";
  link += text;
  link += "</a>";
  return link;
}

bool SafeNameByte(unsigned char c) {
  if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '-' || c == '_')
    return true;
  // Cyrillic letters of Windows-1251: "А" to "я", "Ё" and "ё".
  return c >= 0xC0 || c == 0xA8 || c == 0xB8;
}

}  // namespace

bool IsBuiltInErrorPage(std::string_view url) {
  constexpr size_t kLength = sizeof(kResourceScheme) - 1;
  if (url.size() < kLength) return false;
  for (size_t i = 0; i < kLength; ++i) {
    char c = url[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != kResourceScheme[i]) return false;
  }
  return true;
}

std::string ConnectionErrorBody(std::string_view currentUrl, std::string_view startUrl) {
  std::string body = kErrorHead;
  body += kErrorReason;
  body += kErrorAdvice;
  body += Link(currentUrl, kRetryText);
  if (startUrl != currentUrl) {
    body += "&nbsp;&nbsp;&nbsp;&nbsp;";
    body += Link(startUrl, kHomeText);
  }
  body += "<br><br>";
  return body;
}

std::string ConnectionErrorPage(std::string_view currentUrl, std::string_view startUrl) {
  std::string page = kPageHead;
  // Two blanks after "<body", as the page has always been written.
  page += "<body  scroll=auto oncontextmenu=\"return false;\" style=\"border: none\" bgColor=";
  page += kPageBackground;
  page += "><table align=center height=95%><tr><td valign=middle align=center>";
  page += ConnectionErrorBody(currentUrl, startUrl);
  page += "</td></tr></table>";
  page += kPageEnd;
  return page;
}

std::string WrapPage(std::string_view body) {
  std::string page = kPageHead;
  page += "<body scroll=auto oncontextmenu=\"return false;\" style=\"border: none\" bgcolor=";
  page += kPageBackground;
  page += ">";
  page += body;
  page += kPageEnd;
  return page;
}

std::string TemporaryPageName(std::string_view pluginKey) {
  std::string id = PluginIdOfKey(pluginKey);
  if (id.size() > kMaxTemporaryIdLength) id.resize(kMaxTemporaryIdLength);
  for (char& c : id)
    if (!SafeNameByte(static_cast<unsigned char>(c))) c = '_';
  return kTemporaryPrefix + id + kTemporarySuffix;
}

std::string FileUrl(std::string_view path) { return "file://" + std::string(path); }

}  // namespace svbrowser
