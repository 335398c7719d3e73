#include "mainthread/config_record.h"

#include <cstring>

namespace svnet {

namespace {

int SlotsOf(bool source) { return source ? kSourceSlots : kScriptSlots; }
int CountOf(bool source) { return source ? kSourceCount : kScriptCount; }

}  // namespace

std::string SlotText(const CfgRecord& r, int offset) {
  int len = r.bytes[offset];
  if (len > kSlotChars) len = kSlotChars;
  return std::string((const char*)r.bytes + offset + 1, (size_t)len);
}

void SetSlotText(CfgRecord* r, int offset, const std::string& text) {
  size_t len = text.size() > (size_t)kSlotChars ? (size_t)kSlotChars : text.size();
  std::memset(r->bytes + offset, 0, kSlotSize);
  r->bytes[offset] = (unsigned char)len;
  std::memcpy(r->bytes + offset + 1, text.data(), len);
}

uint16_t ProxyPort(const CfgRecord& r) { return (uint16_t)(r.bytes[kProxyPort] | (r.bytes[kProxyPort + 1] << 8)); }

void SetProxyPort(CfgRecord* r, uint16_t port) {
  r->bytes[kProxyPort] = (unsigned char)(port & 0xFF);
  r->bytes[kProxyPort + 1] = (unsigned char)(port >> 8);
}

void StoreHostList(CfgRecord* r, bool source, const std::string& list) {
  int count = 0;
  std::string rest = list;
  while (!rest.empty() && count < kMaxStoredHosts) {
    size_t p = rest.find('/');
    std::string field = rest.substr(0, p);
    rest = p == std::string::npos ? std::string() : rest.substr(p + 1);
    SetSlotText(r, SlotsOf(source) + count * kSlotSize, field);
    ++count;
  }
  r->bytes[CountOf(source)] = (unsigned char)count;
}

std::string StoredHostsText(const CfgRecord& r, bool source) {
  int count = r.bytes[CountOf(source)];
  if (count > kMaxStoredHosts) count = kMaxStoredHosts;
  std::string text;
  for (int i = 0; i < count; ++i) text += SlotText(r, SlotsOf(source) + i * kSlotSize) + "/";
  return text;
}

std::string EncodeCfg(const CfgRecord& r) {
  std::string out((const char*)r.bytes, kCfgSize);
  for (char& c : out) c = (char)(c ^ kCfgMask);
  return out;
}

CfgRecord DecodeCfg(const std::string& fileBytes) {
  CfgRecord r;
  std::memset(r.bytes, 0, kCfgSize);
  size_t n = fileBytes.size() < (size_t)kCfgSize ? fileBytes.size() : (size_t)kCfgSize;
  for (size_t i = 0; i < n; ++i) r.bytes[i] = (unsigned char)(fileBytes[i] ^ kCfgMask);
  if (r.bytes[kScriptCount] > kMaxStoredHosts || r.bytes[kSourceCount] > kMaxStoredHosts)
    std::memset(r.bytes, 0, kCfgSize);
  return r;
}

}  // namespace svnet
