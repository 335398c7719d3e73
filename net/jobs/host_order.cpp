#include "jobs/host_order.h"

#include <string_view>

namespace svnet {

namespace {

constexpr char kHostSeparator = '/';

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? (char)(c - 'A' + 'a') : c; }

bool SameHost(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  return true;
}

}  // namespace

std::string PutHostFirst(const std::string& first, const std::string& list) {
  if (first.empty()) return list;
  std::string out = first;
  std::string_view rest = list;
  for (;;) {
    const size_t end = rest.find(kHostSeparator);
    const std::string_view host = rest.substr(0, end);
    if (!SameHost(host, first)) out.append(1, kHostSeparator).append(host);
    if (end == std::string_view::npos) break;
    rest.remove_prefix(end + 1);
  }
  return out;
}

}  // namespace svnet
