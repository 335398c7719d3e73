#include "update_targets.h"

#include "SolvikaUtils.h"
#include "svstring.h"

namespace update {

namespace {
// Packages applied by the package installer are recorded in this file.
constexpr char kLocalSettingsFile[] = "SolvikaLC.ini";
constexpr char kAppliedPackagesSection[] = "updates";
}  // namespace

bool ProgramFolderTargets::Exists(const std::string& name) { return SVFileExists((folder_ + name).c_str()) != 0; }

bool ProgramFolderTargets::Size(const std::string& name, uint64_t* size) {
  return SVFileSize((folder_ + name).c_str(), size) != 0;
}

int32_t ProgramFolderTargets::ModuleVersion(const std::string& name) {
  return GetDllModuleVersion((folder_ + name).c_str());
}

bool ProgramFolderTargets::PackageRecorded(const std::string& name) {
  const std::string file = folder_ + kLocalSettingsFile;
  const std::string value = sv::TakeOut(
      [&](SvStr* out) { GetCustomIniString(out, kAppliedPackagesSection, name.c_str(), file.c_str(), ""); });
  return !value.empty();
}

}  // namespace update
