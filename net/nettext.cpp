#include "nettext.h"

#include "SolvikaUtils.h"
#include "svstring.h"

namespace svnet {

namespace {

constexpr char kTab = '\t';
constexpr char kHostSeparator = '/';
constexpr SvBool kCaseSensitive = 1;

}  // namespace

std::vector<std::string> Fields(const std::string& text, char sep) {
  std::vector<std::string> out;
  SvStr rest = sv::NewStr(text), field = nullptr;
  for (;;) {
    const SvBool more = sep == kTab              ? _ParceTab(&rest, &field)
                        : sep == kHostSeparator ? _ParceHosts(&rest, &field)
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
  FastReplace(text.c_str(), from.c_str(), to.c_str(), kCaseSensitive, &out);
  return sv::Take(out);
}

std::string UpCase(const std::string& text) {
  SvStr out = nullptr;
  SVUpCase(&out, text.c_str());
  return sv::Take(out);
}

}  // namespace svnet
