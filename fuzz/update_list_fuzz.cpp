// The update wizard's reading of the server's file list and its filter.
//
// Properties: the lists hold no line break or tab; every accepted entry of
// the download list is non-empty, holds no "@" or "#" and ends with one of
// the download extensions or is a package; the list written back as FILES
// and PACKAGES lines reads as the same lists.
#include <stddef.h>
#include <stdint.h>

#include "fuzz_support.h"
#include "update_list.h"

namespace {

bool Clean(const std::string& s) { return s.find_first_of("\r\n\t") == std::string::npos; }

// A folder where every other name exists with the size and version the
// input's length gives, and every other package is recorded.
class Targets : public sv::UpdateEntryFacts {
 public:
  explicit Targets(size_t seed) : seed_(seed) {}
  bool TargetExists(const std::string& name) const override { return (name.size() + seed_) % 2 == 0; }
  bool TargetSize(const std::string& name, uint64_t* size) const override {
    *size = seed_;
    return name.size() % 3 != 0;
  }
  uint32_t TargetModuleVersion(const std::string&) const override { return uint32_t(seed_ % 7); }
  bool PackageRecorded(const std::string& name) const override { return name.size() % 2 == 1; }

 private:
  size_t seed_;
};

bool EndsWith(const std::string& s, const char* tail) {
  const std::string t(tail);
  if (s.size() < t.size()) return false;
  std::string end = s.substr(s.size() - t.size());
  for (char& c : end)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return end == t;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input((const char*)data, size);
  const update::UpdateLists lists = update::ParseUpdateReply(input);
  FUZZ_CHECK(Clean(lists.files) && Clean(lists.packages));

  const update::UpdateLists again =
      update::ParseUpdateReply("FILES\t" + lists.files + "\r\nPACKAGES\t" + lists.packages + "\n");
  FUZZ_CHECK(again.files == lists.files && again.packages == lists.packages);

  Targets targets(size);
  const std::string list = update::BuildDownloadList(lists, targets);
  FUZZ_CHECK(list.empty() || list.back() == '/');
  size_t start = 0;
  while (start < list.size()) {
    const size_t end = list.find('/', start);
    FUZZ_CHECK(end != std::string::npos);
    const std::string entry = list.substr(start, end - start);
    FUZZ_CHECK(!entry.empty() && entry.find_first_of("@#") == std::string::npos);
    FUZZ_CHECK(EndsWith(entry, ".zip") || EndsWith(entry, ".uiu") || EndsWith(entry, ".uip"));
    start = end + 1;
  }
  return 0;
}
