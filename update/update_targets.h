// The filter's questions answered from the program folder through the
// utility library.
#pragma once

#include <string>

#include "update_list.h"

namespace update {

class ProgramFolderTargets : public UpdateTargets {
 public:
  // `folder` ends with a backslash.
  explicit ProgramFolderTargets(std::string folder) : folder_(std::move(folder)) {}
  bool Exists(const std::string& name) override;
  bool Size(const std::string& name, uint64_t* size) override;
  int32_t ModuleVersion(const std::string& name) override;
  bool PackageRecorded(const std::string& name) override;

 private:
  std::string folder_;
};

}  // namespace update
