#include "update_targets.h"

#include "SolvikaUtils.h"
#include "svstring.h"

namespace update {

namespace {
// Packages applied by the package installer are recorded in this file.
constexpr char kLocalSettingsFile[] = "SolvikaLC.ini";
constexpr char kAppliedPackagesSection[] = "updates";
}  // namespace

bool ProgramFolderTargets::TargetExists(const std::string& name) const { return SVFileExists((folder_ + name).c_str()) != 0; }

bool ProgramFolderTargets::TargetSize(const std::string& name, uint64_t* size) const {
  return SVFileSize((folder_ + name).c_str(), size) != 0;
}

uint32_t ProgramFolderTargets::TargetModuleVersion(const std::string& name) const {
  const int32_t version = GetDllModuleVersion((folder_ + name).c_str());
  return version > 0 ? uint32_t(version) : 0;
}

bool ProgramFolderTargets::PackageRecorded(const std::string& name) const {
  const std::string file = folder_ + kLocalSettingsFile;
  const std::string value = sv::TakeOut(
      [&](SvStr* out) { GetCustomIniString(out, kAppliedPackagesSection, name.c_str(), file.c_str(), ""); });
  return !value.empty();
}

}  // namespace update
