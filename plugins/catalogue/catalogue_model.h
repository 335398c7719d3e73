// The plugin catalogue's data: the readlist3 reply, each plugin's status on
// this machine, the display order and the texts of a row. Pure code without
// windows.h: the machine and the collation come in through interfaces, so
// the window only feeds them.
#pragma once

#include <stdint.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "update_entry.h"

namespace sv::catalogue {

enum class Kind : uint8_t { kDirectory = 0, kPlugin = 1 };

enum Status : uint8_t {
  kInstalled = 0,
  kNotUpdated = 1,
  kNotInstalled = 2,
  kRestartNeeded = 3,
  kOldProgram = 4,
  kDownloading = 5,
};
constexpr int kUndecided = -1;

struct Entry {
  Kind kind = Kind::kPlugin;
  uint32_t number = 0;  // directory id or plugin number
  uint32_t group = 0;   // directory id of a plugin
  std::string title;    // 1251
  std::string key;
  std::string files;     // FILES list; after the status: accepted target names
  std::string packages;  // PACKAGES list; after the status: the download list
  std::string description;
  std::string date;
  uint16_t version = 0;
  uint32_t required = 0;  // required program version
  int status = kUndecided;
  int32_t image = -1;
};

// Directory and plugin records of the reply, in reply order. Directory titles
// are four blanks and the name in upper case.
std::vector<Entry> ParseReadlist3(std::string_view reply);

// What the status needs besides the entry filter's facts.
class CatalogueFacts : public UpdateEntryFacts {
 public:
  // The download manager holds a pending or active job for the plugin.
  virtual bool DownloadPending(const std::string& key) const = 0;
  // PatchKeeper.upd has a non-zero value for the plugin.
  virtual bool RestartMarked(const std::string& key) const = 0;
  // The plugin's library (Tovrin.ini "*"+key, "Library") is named and exists.
  virtual bool LibraryPresent(const std::string& key) const = 0;
};

// Sets status 4 for plugins needing a newer program, then decides the rest.
void ComputeStatuses(std::vector<Entry>& entries, uint32_t program_version, const CatalogueFacts& facts);
void ComputeStatus(Entry& plugin, const CatalogueFacts& facts);

// Directories sorted by title, each followed by its plugins sorted by title;
// plugins of no listed directory are dropped. compare: <0, 0, >0.
using TitleCompare = std::function<int(const std::string&, const std::string&)>;
std::vector<Entry> OrderEntries(std::vector<Entry> entries, const TitleCompare& compare);

// 411 -> "4.11", 105 -> "1.05", 5 -> "5".
std::string VersionText(uint16_t version);
// "//" -> CR LF.
std::string MemoText(std::string_view description);

struct StatusLook {
  const char* text;      // 1251
  bool default_colour;
  uint8_t r, g, b;
  const char* action;    // 1251; nullptr = action disabled
};
const StatusLook& LookOf(int status);

std::string RestartQuestion(std::string_view name);
std::string OldProgramMessage(std::string_view name);

// The download job's fields as the download manager takes them.
struct DownloadJob {
  std::string files;
  std::string after_path;
  std::string title;
  std::string iparam;
};
DownloadJob MakeDownloadJob(const Entry& plugin, std::string_view program_id);

constexpr const char* kDownloadPath = "client/plugins/";
constexpr const char* kReadlistRequest = "client/plugins.php?act=readlist3";
constexpr const char* kJobTag = "PatchKeeper 411";
constexpr uint32_t kDownloadTimeoutMs = 30000;
constexpr uint32_t kAfterTimeoutMs = 20000;
constexpr uint32_t kModuleVersion = 411;

}  // namespace sv::catalogue
