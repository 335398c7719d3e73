// The update entry lists. Input: the PACKAGES list, then (after a zero byte)
// the FILES list; the machine facts are derived from the bytes of the names.
//
// Properties: every parsed name is a prefix of its entry and holds neither
// "@" nor "#" split off before it; every line of the download list is an
// accepted entry with a ".zip", ".uiu" or ".uip" tail, packages under "lib\";
// nothing named with ".." or a drive is ever accepted; with "+" rejected no
// entry starting with "+" is accepted unless it is a package.
#include <stddef.h>
#include <stdint.h>

#include "fuzz_support.h"
#include "update_entry.h"

namespace {

// Facts that depend only on the name, so a run is repeatable.
struct HashFacts : sv::UpdateEntryFacts {
  static uint32_t Hash(const std::string& s) {
    uint32_t h = 2166136261u;
    for (unsigned char c : s) h = (h ^ c) * 16777619u;
    return h;
  }
  bool PackageRecorded(const std::string& p) const override { return Hash(p) & 1; }
  bool TargetExists(const std::string& t) const override { return Hash(t) & 2; }
  bool TargetSize(const std::string& t, uint64_t* size) const override {
    if (Hash(t) & 4) return false;
    *size = Hash(t) % 7;
    return true;
  }
  uint32_t TargetModuleVersion(const std::string& t) const override { return Hash(t) % 5; }
};

bool EndsWith(const std::string& s, std::string_view tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

// No drive, no root, no ".." step: the name stays in the program folder.
bool StaysInside(const std::string& name) {
  if (name.find(':') != std::string::npos || name[0] == '\\' || name[0] == '/') return false;
  size_t start = 0;
  while (start <= name.size()) {
    size_t end = name.find_first_of("\\/", start);
    if (end == std::string::npos) end = name.size();
    if (name.compare(start, end - start, "..") == 0 && end - start == 2) return false;
    start = end + 1;
  }
  return true;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view parts[2];
  fuzz::SplitInput(std::string_view((const char*)data, size), '\0', parts, 2);
  HashFacts facts;

  for (std::string_view list : parts) {
    for (const std::string& entry : sv::SplitUpdateList(list)) {
      FUZZ_CHECK(!entry.empty() && entry.find('/') == std::string::npos);
      const sv::UpdateEntry e = sv::ParseUpdateEntry(entry);
      FUZZ_CHECK(entry.compare(0, e.name.size(), e.name) == 0);
      FUZZ_CHECK(e.name.find('@') == std::string::npos);
      FUZZ_CHECK(e.name.find('#') == std::string::npos);
      for (sv::PlusEntries plus : {sv::PlusEntries::kForced, sv::PlusEntries::kRejected}) {
        std::string download, target;
        if (!sv::AcceptUpdateEntry(entry, facts, plus, &download, &target)) continue;
        FUZZ_CHECK(!target.empty());
        FUZZ_CHECK(download.compare(0, target.size(), target) == 0);
        FUZZ_CHECK(StaysInside(target));
        const bool package = download == target;
        if (!package) FUZZ_CHECK(plus == sv::PlusEntries::kForced || entry[0] != '+');
      }
    }
  }

  const std::string list = sv::BuildUpdateDownloadList(parts[0], parts[1], facts, sv::PlusEntries::kRejected);
  FUZZ_CHECK(list.empty() || list.back() == '/');
  return 0;
}
