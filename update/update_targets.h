// The filter's questions answered from the program folder through the
// utility library.
#pragma once

#include <string>

#include "update_entry.h"

namespace update {

class ProgramFolderTargets : public sv::UpdateEntryFacts {
 public:
  // `folder` ends with a backslash.
  explicit ProgramFolderTargets(std::string folder) : folder_(std::move(folder)) {}
  bool PackageRecorded(const std::string& package) const override;
  bool TargetExists(const std::string& target) const override;
  bool TargetSize(const std::string& target, uint64_t* size) const override;
  uint32_t TargetModuleVersion(const std::string& target) const override;

 private:
  std::string folder_;
};

}  // namespace update
