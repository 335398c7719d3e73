#include "machine_facts.h"

#include "SolvikaDNM.h"
#include "SolvikaUtils.h"
#include "svstring.h"

namespace patchkeeper {

namespace {

// Packages the package installer applied are recorded here.
constexpr char kLocalSettingsFile[] = "SolvikaLC.ini";
constexpr char kAppliedPackagesSection[] = "updates";
// Plugins whose files arrived and wait for a restart of the program.
constexpr char kRestartMarksFile[] = "PatchKeeper.upd";
constexpr char kRestartMarksSection[] = "PatchKeeper";
constexpr char kLibraryKey[] = "Library";
constexpr uint32_t kVersionMask = 0xFFFF;  // callers read the low 16 bits of a foreign version

}  // namespace

bool MachineFacts::PackageRecorded(const std::string& package) const {
  const std::string file = folder_ + kLocalSettingsFile;
  return !sv::TakeOut([&](SvStr* out) {
            GetCustomIniString(out, kAppliedPackagesSection, package.c_str(), file.c_str(), "");
          }).empty();
}

bool MachineFacts::TargetExists(const std::string& target) const {
  return SVFileExists((folder_ + target).c_str()) != 0;
}

bool MachineFacts::TargetSize(const std::string& target, uint64_t* size) const {
  return SVFileSize((folder_ + target).c_str(), size) != 0;
}

uint32_t MachineFacts::TargetModuleVersion(const std::string& target) const {
  return static_cast<uint32_t>(GetDllModuleVersion((folder_ + target).c_str())) & kVersionMask;
}

bool MachineFacts::DownloadPending(const std::string& key) const {
  return SVDNMGetStatusByIParam(key.c_str()) == SVDNM_KEY_PENDING;
}

bool MachineFacts::RestartMarked(const std::string& key) const {
  if (key.empty()) return false;
  const std::string file = folder_ + kRestartMarksFile;
  return GetCustomIniInt(kRestartMarksSection, key.c_str(), file.c_str(), 0) != 0;
}

bool MachineFacts::LibraryPresent(const std::string& key) const {
  const std::string section = "*" + key;
  const std::string library = sv::TakeOut([&](SvStr* out) { GetIniString(out, section.c_str(), kLibraryKey, ""); });
  return !library.empty() && SVFileExists((folder_ + library).c_str()) != 0;
}

}  // namespace patchkeeper
