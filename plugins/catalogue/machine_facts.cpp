#include "machine_facts.h"

#include "SolvikaDNM.h"
#include "SolvikaUtils.h"
#include "cp1251_case.h"
#include "decimal.h"
#include "file_io.h"
#include "ini_text.h"

namespace patchkeeper {

namespace {

// Packages the package installer applied are recorded here.
constexpr char kLocalSettingsFile[] = "SolvikaLC.ini";
constexpr char kAppliedPackagesSection[] = "updates";
// Plugins whose files arrived and wait for a restart of the program.
constexpr char kRestartMarksFile[] = "PatchKeeper.upd";
constexpr char kRestartMarksSection[] = "PatchKeeper";
constexpr char kSettingsFile[] = "Tovrin.ini";
constexpr char kLibraryKey[] = "Library";
constexpr uint32_t kVersionMask = 0xFFFF;  // callers read the low 16 bits of a foreign version

std::vector<sv::IniSection> SectionsOf(const std::string& path) {
  std::string bytes;
  if (!sv::ReadWholeFile(path, &bytes)) return {};
  return sv::IniText(bytes).Sections();
}

// The keys of the first section named `name` whose values pass `keep`.
template <class Keep>
std::unordered_set<std::string> KeysOf(const std::vector<sv::IniSection>& sections, const char* name, Keep keep) {
  std::unordered_set<std::string> keys;
  for (const sv::IniSection& section : sections) {
    if (!sv::SameName1251(section.name, name)) continue;
    std::unordered_set<std::string> seen;
    for (const auto& [key, value] : section.entries) {
      std::string upper = sv::ToUpper1251(key);
      if (seen.insert(upper).second && keep(value)) keys.insert(upper);
    }
    break;
  }
  return keys;
}

bool IsInSubfolder(const std::string& name) { return name.find_first_of("\\/") != std::string::npos; }

}  // namespace

MachineFacts::MachineFacts(std::string programFolder) : folder_(std::move(programFolder)) {
  for (const sv::IniSection& section : SectionsOf(folder_ + kSettingsFile)) {
    std::string library;
    section.Find(kLibraryKey, &library);
    libraries_.emplace(sv::ToUpper1251(section.name), library);
  }
  restartMarked_ = KeysOf(SectionsOf(folder_ + kRestartMarksFile), kRestartMarksSection,
                          [](const std::string& value) { return !value.empty() && sv::ParseDecimal(value) != 0; });
  recordedPackages_ = KeysOf(SectionsOf(folder_ + kLocalSettingsFile), kAppliedPackagesSection,
                             [](const std::string& value) { return !value.empty(); });
}

bool MachineFacts::PackageRecorded(const std::string& package) const {
  return recordedPackages_.count(sv::ToUpper1251(package)) != 0;
}

const std::unordered_map<std::string, uint64_t>& MachineFacts::FolderFiles() const {
  if (!listed_) {
    for (const sv::FolderEntry& entry : sv::FindEntries(folder_ + "*"))
      if (!entry.isFolder) folderFiles_.emplace(sv::ToUpper1251(entry.name), entry.size);
    listed_ = true;
  }
  return folderFiles_;
}

bool MachineFacts::TargetExists(const std::string& target) const {
  if (IsInSubfolder(target)) return SVFileExists((folder_ + target).c_str()) != 0;
  return FolderFiles().count(sv::ToUpper1251(target)) != 0;
}

bool MachineFacts::TargetSize(const std::string& target, uint64_t* size) const {
  if (IsInSubfolder(target)) return SVFileSize((folder_ + target).c_str(), size) != 0;
  auto found = FolderFiles().find(sv::ToUpper1251(target));
  if (found == FolderFiles().end()) return false;
  *size = found->second;
  return true;
}

uint32_t MachineFacts::TargetModuleVersion(const std::string& target) const {
  return static_cast<uint32_t>(GetDllModuleVersion((folder_ + target).c_str())) & kVersionMask;
}

bool MachineFacts::DownloadPending(const std::string& key) const {
  return SVDNMGetStatusByIParam(key.c_str()) == SVDNM_KEY_PENDING;
}

bool MachineFacts::RestartMarked(const std::string& key) const {
  return !key.empty() && restartMarked_.count(sv::ToUpper1251(key)) != 0;
}

bool MachineFacts::LibraryPresent(const std::string& key) const {
  auto found = libraries_.find(sv::ToUpper1251("*" + key));
  return found != libraries_.end() && !found->second.empty() && TargetExists(found->second);
}

}  // namespace patchkeeper
