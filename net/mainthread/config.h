// The network configuration: built-in and effective host lists, the
// "TovrinNet.cfg" record (stored hosts and proxy settings) and its file.
#pragma once

#include <cstdint>
#include <string>

namespace svnet {

constexpr int kCfgSize = 1177;
constexpr unsigned char kCfgMask = 0x3C;
constexpr int kMaxStoredHosts = 10;
constexpr int kSlotChars = 50;

// The clear record in memory.
struct CfgRecord {
  unsigned char bytes[kCfgSize];
};

// Pure record layout helpers (no locking).
std::string SlotText(const CfgRecord& r, int offset);
void SetSlotText(CfgRecord* r, int offset, const std::string& text);
// Stores "/"-separated hosts into the script (source = false) or source list:
// at most ten, each cut to 50 characters, empty ones kept.
void StoreHostList(CfgRecord* r, bool source, const std::string& list);
std::string StoredHostsText(const CfgRecord& r, bool source);  // each host followed by "/"
// The file's bytes from a record and back; a record with a count above ten
// loads as all zero.
std::string EncodeCfg(const CfgRecord& r);
CfgRecord DecodeCfg(const std::string& fileBytes);

// Engine state shared by the exports.
void LoadConfig();
void SaveConfig();
void ApplyCommandLineHosts();
std::string BuiltInScriptHosts();
std::string BuiltInSourceHosts();
std::string EffectiveScriptHosts();
void StoreHosts(bool source, const std::string& list);

}  // namespace svnet
