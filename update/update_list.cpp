#include "update_list.h"

#include <vector>

namespace update {

namespace {

constexpr size_t kSizeDigits = 20;
constexpr size_t kVersionDigits = 5;
constexpr size_t kExtensionLength = 4;
constexpr char kListSeparator = '/';
constexpr char kForceMark = '+';
constexpr std::string_view kPackagesFolder = "lib\\";
constexpr std::string_view kDefaultExtension = ".zip";

// A whole decimal number, or 0 for anything else (empty, signs, letters,
// overflow of the 64-bit range).
uint64_t DecimalOrZero(std::string_view text) {
  if (text.empty()) return 0;
  uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return 0;
    const uint64_t digit = uint64_t(c - '0');
    if (value > (UINT64_MAX - digit) / 10) return 0;
    value = value * 10 + digit;
  }
  return value;
}

std::string LowerAscii(std::string_view text) {
  std::string lower(text);
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return lower;
}

// A name the server gives must stay inside the program folder: no drive, no
// root, no step up.
bool StaysInFolder(std::string_view name) {
  if (name.empty() || name.find(':') != std::string_view::npos) return false;
  if (name[0] == '\\' || name[0] == '/') return false;
  size_t start = 0;
  while (start <= name.size()) {
    size_t end = name.find_first_of("\\/", start);
    if (end == std::string_view::npos) end = name.size();
    if (name.substr(start, end - start) == "..") return false;
    start = end + 1;
  }
  return true;
}

std::vector<std::string_view> SplitList(std::string_view list) {
  std::vector<std::string_view> items;
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find(kListSeparator, start);
    if (end == std::string_view::npos) end = list.size();
    if (end > start) items.push_back(list.substr(start, end - start));
    start = end + 1;
  }
  return items;
}

}  // namespace

UpdateLists ParseUpdateReply(std::string_view reply) {
  UpdateLists lists;
  size_t pos = 0;
  while (pos < reply.size()) {
    size_t end = reply.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = reply.size();
    std::string_view line = reply.substr(pos, end - pos);
    pos = end;
    if (pos < reply.size() && reply[pos] == '\r') ++pos;
    if (pos < reply.size() && reply[pos] == '\n') ++pos;

    const size_t tab = line.find('\t');
    if (tab == std::string_view::npos) continue;
    const std::string_view key = line.substr(0, tab);
    std::string_view value = line.substr(tab + 1);
    value = value.substr(0, value.find('\t'));
    if (key == "FILES") lists.files.assign(value);
    else if (key == "PACKAGES") lists.packages.assign(value);
  }
  return lists;
}

ListEntry SplitEntry(std::string_view entry) {
  ListEntry result;
  const size_t at = entry.find('@');
  if (at != std::string_view::npos) {
    result.size = DecimalOrZero(entry.substr(at + 1, kSizeDigits));
    entry = entry.substr(0, at);
  }
  const size_t hash = entry.find('#');
  if (hash != std::string_view::npos) {
    const uint64_t version = DecimalOrZero(entry.substr(hash + 1, kVersionDigits));
    // Five digits may exceed 16 bits; the required version is kept in 16 bits.
    result.version = uint16_t(version);
    entry = entry.substr(0, hash);
  }
  result.name.assign(entry);
  return result;
}

std::string FilterEntry(std::string_view entry, UpdateTargets& targets) {
  ListEntry parts = SplitEntry(entry);
  std::string name = parts.name;
  const std::string extension =
      LowerAscii(name.size() >= kExtensionLength ? std::string_view(name).substr(name.size() - kExtensionLength)
                                                 : std::string_view(name));

  const bool forcedName = !name.empty() && name[0] == kForceMark;
  if (!StaysInFolder(std::string_view(name).substr(forcedName ? 1 : 0))) return std::string();
  if (extension == ".uip") return targets.PackageRecorded(name) ? std::string() : name;

  std::string downloadExtension(kDefaultExtension);
  if (extension == ".zip" || extension == ".uiu") {
    downloadExtension = name.substr(name.size() - kExtensionLength);
    name.resize(name.size() - kExtensionLength);
  }
  const bool forced = !name.empty() && name[0] == kForceMark;
  if (forced) name.erase(0, 1);
  // An entry without a name would fetch a bare extension from the folder.
  if (name.empty()) return std::string();
  if (forced) return name + downloadExtension;
  if (!targets.Exists(name)) return name + downloadExtension;
  if (parts.size != 0) {
    uint64_t localSize = 0;
    if (!targets.Size(name, &localSize) || localSize != parts.size) return name + downloadExtension;
  }
  if (parts.version != 0 && targets.ModuleVersion(name) < int32_t(parts.version)) return name + downloadExtension;
  return std::string();
}

std::string BuildDownloadList(const UpdateLists& lists, UpdateTargets& targets) {
  std::string list;
  for (std::string_view entry : SplitList(lists.packages)) {
    const std::string accepted = FilterEntry(entry, targets);
    if (!accepted.empty()) list.append(kPackagesFolder).append(accepted).push_back(kListSeparator);
  }
  for (std::string_view entry : SplitList(lists.files)) {
    const std::string accepted = FilterEntry(entry, targets);
    if (!accepted.empty()) list.append(accepted).push_back(kListSeparator);
  }
  return list;
}

}  // namespace update
