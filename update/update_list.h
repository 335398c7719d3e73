// The update list: the server's "getfiles2" reply read into its FILES and
// PACKAGES lists, and the filter that keeps the entries this machine lacks.
// Plain code without windows.h: the file checks come through UpdateTargets.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace update {

struct UpdateLists {
  std::string files;
  std::string packages;
};

// Lines end with CR, LF or CR LF; a line whose first tab field is "FILES" or
// "PACKAGES" gives its list in the second field; the last such line wins.
UpdateLists ParseUpdateReply(std::string_view reply);

// What the filter asks about the machine. Names are relative to the program
// folder.
class UpdateTargets {
 public:
  virtual ~UpdateTargets() = default;
  virtual bool Exists(const std::string& name) = 0;
  // False when the size cannot be read.
  virtual bool Size(const std::string& name, uint64_t* size) = 0;
  virtual int32_t ModuleVersion(const std::string& name) = 0;
  // True when SolvikaLC.ini records the package under "updates" with a value.
  virtual bool PackageRecorded(const std::string& name) = 0;
};

// One list entry split into its parts: "[+]name[#version][@size]".
struct ListEntry {
  std::string name;       // as given, "+" included
  uint64_t size = 0;      // 0: not given or not a number
  uint16_t version = 0;   // 0: not given or not a number
};
ListEntry SplitEntry(std::string_view entry);

// The remote name to fetch for one entry, or empty when it is not needed.
std::string FilterEntry(std::string_view entry, UpdateTargets& targets);

// The download list: accepted packages as "lib\" + name + "/", then accepted
// files as name + "/".
std::string BuildDownloadList(const UpdateLists& lists, UpdateTargets& targets);

}  // namespace update
