#include "nettext.h"

#include "SolvikaUtils.h"
#include "svstring.h"

namespace svnet {

namespace {

std::string Take(SvStr s) {
  std::string text(sv::Bytes(s));
  sv::Release(s);
  return text;
}

}  // namespace

std::vector<std::string> Fields(const std::string& text, char sep) {
  std::vector<std::string> out;
  SvStr rest = sv::NewStr(text), field = nullptr;
  for (;;) {
    SvBool more = sep == '\t' ? _ParceTab(&rest, &field) : sep == '/' ? _ParceHosts(&rest, &field)
                                                                      : _ParceChar(&rest, &field, sep);
    if (!more) break;
    out.emplace_back(sv::Bytes(field));
  }
  sv::Release(rest);
  sv::Release(field);
  return out;
}

std::string Replace(const std::string& text, const std::string& from, const std::string& to) {
  SvStr out = nullptr;
  FastReplace(text.c_str(), from.c_str(), to.c_str(), 1, &out);
  return Take(out);
}

std::string UpCase(const std::string& text) {
  SvStr out = nullptr;
  SVUpCase(&out, text.c_str());
  return Take(out);
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
