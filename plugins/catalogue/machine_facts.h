// What the catalogue's statuses need to know about this machine, read from
// the program folder, its settings and the download manager. The three
// settings files (Tovrin.ini, PatchKeeper.upd, SolvikaLC.ini) are read once,
// when the facts are made for one reload: asking the settings library per
// plugin would read and parse the whole file again for each of them. Files
// right in the program folder are looked up in one listing of it, taken on
// the first question; names in sub-folders are asked of the file system.
#pragma once

#include <string>
#include <unordered_map>
#include <unordered_set>

#include "catalogue_model.h"

namespace patchkeeper {

class MachineFacts : public sv::catalogue::CatalogueFacts {
 public:
  // `programFolder` ends in "\".
  explicit MachineFacts(std::string programFolder);

  bool PackageRecorded(const std::string& package) const override;
  bool TargetExists(const std::string& target) const override;
  bool TargetSize(const std::string& target, uint64_t* size) const override;
  uint32_t TargetModuleVersion(const std::string& target) const override;
  bool DownloadPending(const std::string& key) const override;
  bool RestartMarked(const std::string& key) const override;
  bool LibraryPresent(const std::string& key) const override;

 private:
  std::string folder_;  // ends in "\"
  // Upper-cased plugin section name -> its "Library" (the first section and
  // key of a name count, as for the settings library).
  std::unordered_map<std::string, std::string> libraries_;
  std::unordered_set<std::string> restartMarked_;     // upper-cased plugin ids
  std::unordered_set<std::string> recordedPackages_;  // upper-cased package names
  // Upper-cased name -> size of every file right in the program folder.
  const std::unordered_map<std::string, uint64_t>& FolderFiles() const;
  mutable bool listed_ = false;
  mutable std::unordered_map<std::string, uint64_t> folderFiles_;
};

}  // namespace patchkeeper
