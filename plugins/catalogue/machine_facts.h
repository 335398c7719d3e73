// What the catalogue's statuses need to know about this machine, read from
// the program folder, its settings and the download manager.
#pragma once

#include <string>

#include "catalogue_model.h"

namespace patchkeeper {

class MachineFacts : public sv::catalogue::CatalogueFacts {
 public:
  explicit MachineFacts(std::string programFolder) : folder_(std::move(programFolder)) {}

  bool PackageRecorded(const std::string& package) const override;
  bool TargetExists(const std::string& target) const override;
  bool TargetSize(const std::string& target, uint64_t* size) const override;
  uint32_t TargetModuleVersion(const std::string& target) const override;
  bool DownloadPending(const std::string& key) const override;
  bool RestartMarked(const std::string& key) const override;
  bool LibraryPresent(const std::string& key) const override;

 private:
  std::string folder_;  // ends in "\"
};

}  // namespace patchkeeper
