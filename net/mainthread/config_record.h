// The record of "TovrinNet.cfg": stored script and source hosts and the
// proxy settings, and its file form (every byte XORed with a fixed mask).
// Plain C++ with no Windows API: it builds natively, so that it can be
// tested and fuzzed without the rest of the engine.
#pragma once

#include <cstdint>
#include <string>

namespace svnet {

constexpr int kCfgSize = 1177;
constexpr unsigned char kCfgMask = 0x3C;
constexpr int kMaxStoredHosts = 10;
constexpr int kSlotChars = 50;               // a slot: one length byte, then up to 50 characters
constexpr int kSlotSize = kSlotChars + 1;

// Offsets of the fields in the clear record.
constexpr int kScriptSlots = 0;              // kMaxStoredHosts slots
constexpr int kSourceSlots = kScriptSlots + kMaxStoredHosts * kSlotSize;
constexpr int kScriptCount = kSourceSlots + kMaxStoredHosts * kSlotSize;
constexpr int kSourceCount = kScriptCount + 1;
constexpr int kProxyServer = kSourceCount + 1;  // a slot
constexpr int kProxyUser = kProxyServer + kSlotSize;
constexpr int kProxyPassword = kProxyUser + kSlotSize;
constexpr int kProxyPort = kProxyPassword + kSlotSize;  // 16-bit little-endian
static_assert(kProxyPort + 2 == kCfgSize, "the record ends with the proxy port");

// The clear record in memory.
struct CfgRecord {
  unsigned char bytes[kCfgSize];
};

// The text of the slot at `offset` (its length byte is capped at 50).
std::string SlotText(const CfgRecord& r, int offset);
// Stores `text`, cut to 50 characters, in the slot at `offset`.
void SetSlotText(CfgRecord* r, int offset, const std::string& text);
uint16_t ProxyPort(const CfgRecord& r);
void SetProxyPort(CfgRecord* r, uint16_t port);
// Stores "/"-separated hosts into the script (source = false) or source list:
// at most ten, each cut to 50 characters, empty ones kept.
void StoreHostList(CfgRecord* r, bool source, const std::string& list);
std::string StoredHostsText(const CfgRecord& r, bool source);  // each host followed by "/"
// The file's bytes from a record and back. Any input decodes: a shorter file
// leaves the rest zero, bytes beyond the record are ignored, and a record
// with a host count above ten loads as all zero.
std::string EncodeCfg(const CfgRecord& r);
CfgRecord DecodeCfg(const std::string& fileBytes);

}  // namespace svnet
