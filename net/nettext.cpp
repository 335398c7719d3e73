#include "nettext.h"

#include <cstring>

namespace svnet {

bool NextField(std::string* rest, std::string* field, char sep) {
  if (rest->empty()) {
    field->clear();
    return false;
  }
  size_t p = rest->find(sep);
  if (p == std::string::npos) {
    *field = *rest;
    rest->clear();
  } else {
    *field = rest->substr(0, p);
    rest->erase(0, p + 1);
  }
  return true;
}

std::vector<std::string> SplitAll(const std::string& text, char sep) {
  std::vector<std::string> out;
  std::string rest = text, field;
  while (NextField(&rest, &field, sep)) out.push_back(field);
  return out;
}

std::string ReplaceAll(std::string text, std::string_view from, std::string_view to) {
  if (from.empty()) return text;
  size_t p = 0;
  while ((p = text.find(from, p)) != std::string::npos) {
    text.replace(p, from.size(), to);
    p += to.size();
  }
  return text;
}

std::string UpperAscii(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = (char)(c - 'a' + 'A');
  return text;
}

int32_t ToInt(std::string_view text, int32_t def) {
  if (text.empty()) return def;
  bool neg = false;
  size_t i = 0;
  if (text[0] == '-' || text[0] == '+') neg = text[0] == '-', i = 1;
  if (i == text.size()) return def;
  int64_t v = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return def;
    v = v * 10 + (text[i] - '0');
    if (v > 2147483648LL) return def;
  }
  if (neg) v = -v;
  if (v > INT32_MAX || v < INT32_MIN) return def;
  return (int32_t)v;
}

}  // namespace svnet
