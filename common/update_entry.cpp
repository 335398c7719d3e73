#include "update_entry.h"

#include "decimal.h"

namespace sv {
namespace {

constexpr size_t kSizeDigits = 20;
constexpr size_t kVersionDigits = 5;
constexpr size_t kExtensionLength = 4;

// A whole decimal number that fits *value, else false.
bool ReadNumber(std::string_view text, uint64_t limit, uint64_t* value) {
  if (!IsDecimal(text)) return false;
  uint64_t v = 0;
  for (char c : text) {
    const uint64_t digit = (uint64_t)(c - '0');
    if (v > (limit - digit) / 10) return false;
    v = v * 10 + digit;
  }
  *value = v;
  return true;
}

// A name that would leave the program folder (a drive, a root, a ".."
// step), or names nothing, is never fetched: the server's list is outside
// input. Dots inside a name ("a..b.dll") are harmless.
bool SafeTargetName(std::string_view name) {
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

std::string LowerAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = (char)(c - 'A' + 'a');
  return out;
}

}  // namespace

UpdateEntry ParseUpdateEntry(std::string_view entry) {
  UpdateEntry e;
  const size_t at = entry.find('@');
  if (at != std::string_view::npos) {
    uint64_t size = 0;
    if (ReadNumber(entry.substr(at + 1, kSizeDigits), UINT64_MAX, &size)) e.size = size;
    entry = entry.substr(0, at);
  }
  const size_t hash = entry.find('#');
  if (hash != std::string_view::npos) {
    uint64_t version = 0;
    if (ReadNumber(entry.substr(hash + 1, kVersionDigits), UINT16_MAX, &version)) e.version = (uint16_t)version;
    entry = entry.substr(0, hash);
  }
  e.name = std::string(entry);
  return e;
}

std::vector<std::string> SplitUpdateList(std::string_view list) {
  std::vector<std::string> out;
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find('/', start);
    if (end == std::string_view::npos) end = list.size();
    if (end > start) out.emplace_back(list.substr(start, end - start));
    start = end + 1;
  }
  return out;
}

bool AcceptUpdateEntry(std::string_view text, const UpdateEntryFacts& facts, PlusEntries plus,
                       std::string* download, std::string* target) {
  UpdateEntry e = ParseUpdateEntry(text);
  const std::string extension =
      LowerAscii(e.name.size() >= kExtensionLength ? std::string_view(e.name).substr(e.name.size() - kExtensionLength)
                                                   : std::string_view(e.name));
  if (extension == ".uip") {
    if (!SafeTargetName(e.name) || facts.PackageRecorded(e.name)) return false;
    if (download) *download = e.name;
    if (target) *target = e.name;
    return true;
  }
  std::string download_extension = ".zip";
  if (extension == ".zip" || extension == ".uiu") {
    download_extension = e.name.substr(e.name.size() - kExtensionLength);
    e.name.resize(e.name.size() - kExtensionLength);
  }
  bool accept = false;
  if (!e.name.empty() && e.name[0] == '+') {
    e.name.erase(0, 1);
    accept = plus == PlusEntries::kForced;
    if (!accept) return false;
  }
  if (!SafeTargetName(e.name)) return false;
  if (!accept && !facts.TargetExists(e.name)) accept = true;
  if (!accept && e.size != 0) {
    uint64_t actual = 0;
    if (!facts.TargetSize(e.name, &actual) || actual != e.size) accept = true;
  }
  if (!accept && e.version != 0 && facts.TargetModuleVersion(e.name) < e.version) accept = true;
  if (!accept) return false;
  if (download) *download = e.name + download_extension;
  if (target) *target = e.name;
  return true;
}

std::string BuildUpdateDownloadList(std::string_view packages, std::string_view files,
                                    const UpdateEntryFacts& facts, PlusEntries plus) {
  std::string list;
  std::string name;
  for (const std::string& entry : SplitUpdateList(packages))
    if (AcceptUpdateEntry(entry, facts, plus, &name)) list += "lib\\" + name + "/";
  for (const std::string& entry : SplitUpdateList(files))
    if (AcceptUpdateEntry(entry, facts, plus, &name)) list += name + "/";
  return list;
}

}  // namespace sv
