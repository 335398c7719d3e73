// One entry of the FILES and PACKAGES lists the server sends to the update
// wizard and the plugin catalogue: a target name with an optional required
// module version after "#" and an expected size after "@", and a leading "+"
// that forces the download. Pure code: builds natively as well as for
// Windows; everything the decision needs to know about this machine comes in
// through UpdateEntryFacts.
#pragma once

#include <stdint.h>

#include <string>
#include <string_view>
#include <vector>

namespace sv {

struct UpdateEntry {
  std::string name;       // the entry without "#..." and "@...", "+" kept
  uint64_t size = 0;      // expected size in bytes, 0 = not given
  uint16_t version = 0;   // required module version, 0 = not given
};

// Splits off "@size" (up to 20 characters after the first "@") and then
// "#version" (up to 5 characters after the first "#"). A field that is not a
// whole decimal number, or does not fit its type, reads as 0: a version
// beyond 16 bits would otherwise wrap to a small one that any module meets.
UpdateEntry ParseUpdateEntry(std::string_view entry);

// Splits a "/"-separated list; empty pieces are dropped.
std::vector<std::string> SplitUpdateList(std::string_view list);

// What the filter needs to know about this machine. Names are relative to
// the program folder.
class UpdateEntryFacts {
 public:
  virtual ~UpdateEntryFacts() = default;
  // The package has a non-empty value under [updates] in SolvikaLC.ini.
  virtual bool PackageRecorded(const std::string& package) const = 0;
  virtual bool TargetExists(const std::string& target) const = 0;
  // False when the size cannot be read.
  virtual bool TargetSize(const std::string& target, uint64_t* size) const = 0;
  // GetModuleVersion of the target library, 0 when it has none.
  virtual uint32_t TargetModuleVersion(const std::string& target) const = 0;
};

enum class PlusEntries { kForced, kRejected };

// Decides one entry. On acceptance *download receives the name to fetch
// (package name as is; other entries with ".zip" or their own ".zip"/".uiu"
// extension) and, when given, *target the local file name.
bool AcceptUpdateEntry(std::string_view entry, const UpdateEntryFacts& facts, PlusEntries plus,
                       std::string* download, std::string* target = nullptr);

// The download list: accepted packages as "lib\" + name + "/", then accepted
// files as name + "/".
std::string BuildUpdateDownloadList(std::string_view packages, std::string_view files,
                                    const UpdateEntryFacts& facts, PlusEntries plus);

}  // namespace sv
