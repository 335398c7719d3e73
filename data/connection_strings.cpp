#include "connection_strings.h"

#include <cstring>

#include "SolvikaData.h"

namespace data {

const char kJet40[] = "Provider=Microsoft.Jet.OLEDB.4.0";
const char kJet351[] = "Provider=Microsoft.Jet.OLEDB.3.51";
const char kJet35[] = "Provider=Microsoft.Jet.OLEDB.3.5";

namespace {

// The record as it lies in the caller's memory (32-bit fields).
struct RawParams {
  int32_t size;
  const char* file;
  const char* user;
  const char* password;
  const char* dbPassword;
  uint32_t access;
  uint32_t share;
};
static_assert(sizeof(RawParams) == 28, "connection parameters are 28 bytes");

std::string TextOf(const char* p) { return p ? std::string(p) : std::string(); }

// Appends name=value; when the value is not empty.
void Property(std::string& out, const char* name, const std::string& value) {
  if (value.empty()) return;
  out += name;
  out += '=';
  out += value;
  out += ';';
}

const char* const kShare[] = {"", "Share Deny None", "Share Deny Read", "Share Deny Write",
                              "Share Deny Read|Share Deny Write"};

// Engine type property per database type; types 4 and 5 connect as type 0.
const char* ExtendedProperties(uint32_t type) {
  switch (type) {
    case SVDATA_JET: case SVDATA_ADO_4: case SVDATA_ADO_5: return ";Jet OLEDB:Engine Type=0";
    case SVDATA_JET_ENGINE4: return ";Jet OLEDB:Engine Type=4";
    case SVDATA_JET_ENGINE5: return ";Jet OLEDB:Engine Type=5";
    default: return "";
  }
}

}  // namespace

Params ReadParams(const void* record) {
  Params p;
  if (!record) return p;
  RawParams raw;
  std::memset(&raw, 0, sizeof raw);
  int32_t size = 0;
  std::memcpy(&size, record, sizeof size);
  if (size > (int32_t)sizeof raw) size = (int32_t)sizeof raw;
  if (size > 0) std::memcpy(&raw, record, (size_t)size);
  p.file = TextOf(raw.file);
  p.user = TextOf(raw.user);
  p.password = TextOf(raw.password);
  p.dbPassword = TextOf(raw.dbPassword);
  p.access = raw.access;
  p.share = raw.share;
  return p;
}

std::string ModeValue(uint32_t access, uint32_t share) {
  if (access > 2) access = 0;
  if (share > 4) share = 0;
  std::string mode = access == 1 ? "Read" : access == 2 ? "ReadWrite" : "";
  if (share != 0) {
    if (!mode.empty()) mode += '|';
    mode += kShare[share];
  }
  return mode;
}

std::string JetConnectionString(const Params& p, uint32_t type, bool forCompact) {
  std::string s = std::string(kJet40) + ";";
  Property(s, "Data Source", p.file);
  Property(s, "User ID", p.user);
  Property(s, "Password", p.password);
  if (!forCompact) Property(s, "Mode", ModeValue(p.access, p.share));
  Property(s, "Extended Properties", ExtendedProperties(type));
  Property(s, "Jet OLEDB:Database Password", p.dbPassword);
  if (!forCompact) Property(s, "Persist Security Info", "True");
  return s;
}

std::string WithProvider(std::string text, const char* provider) {
  size_t at = text.find(kJet40);
  if (at != std::string::npos) text.replace(at, sizeof kJet40 - 1, provider);
  return text;
}

std::string OdbcConnectionString(const Params& p) {
  std::string s;
  Property(s, "Driver", "{Microsoft Access Driver (*.mdb)}");
  Property(s, "DBQ", p.file);
  Property(s, "UID", p.user);
  Property(s, "PWD", p.dbPassword);
  Property(s, "Mode", ModeValue(p.access, p.share));
  Property(s, "Persist Security Info", "True");
  return s;
}

std::string ConnectWithFallback(const Params& p, uint32_t type, const ConnectionOpener& open,
                                const std::function<void()>& beforeOdbc) {
  const std::string jet = JetConnectionString(p, type, false);
  struct Attempt {
    const char* label;
    const char* provider;
  };
  const Attempt attempts[] = {{"Jet 4.0", kJet40}, {"Jet 3.51", kJet351}, {"Jet 3.5", kJet35}};
  std::string failures;
  for (const Attempt& a : attempts) {
    std::string err = open(WithProvider(jet, a.provider));
    if (err.empty()) return std::string();
    if (!failures.empty()) failures += '\r';
    failures += std::string(a.label) + ": " + err;
  }
  if (beforeOdbc) beforeOdbc();
  std::string err = open(OdbcConnectionString(p));
  if (err.empty()) return std::string();
  return failures + "\rMSDASQL: " + err;
}

std::string EscapeSql(const std::string& text, bool ado) {
  std::string out;
  out.reserve(text.size() + 8);
  for (char c : text) {
    if (c == '\'') {
      out += "''";
    } else if (c == '\r' && ado) {
      out += ' ';
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace data
