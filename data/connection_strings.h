// Connection texts for the ADO database types and the SQL escaping rules of
// both kinds of database. Pure text work, no Windows API.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace data {

// The caller's connection parameters after copying: texts as std::string
// (empty for null), modes as given.
struct Params {
  std::string file, user, password, dbPassword;
  uint32_t access = 0, share = 0;
};

// Copies at most the first 28 bytes of the caller's record (fewer if its size
// field says so) into a zeroed record and returns its fields. Null gives an
// empty record.
Params ReadParams(const void* record);

// The ADO "Mode" value for an access and share field ("" when neither is
// given; values out of range count as 0).
std::string ModeValue(uint32_t access, uint32_t share);

extern const char kJet40[];   // "Provider=Microsoft.Jet.OLEDB.4.0"
extern const char kJet351[];  // "Provider=Microsoft.Jet.OLEDB.3.51"
extern const char kJet35[];   // "Provider=Microsoft.Jet.OLEDB.3.5"

// The Jet OLE DB connection text for a database type (0 to 5). For compacting
// the mode and "Persist Security Info" are left out.
std::string JetConnectionString(const Params& p, uint32_t type, bool forCompact);

// The same text with the Jet 4.0 provider replaced by another one.
std::string WithProvider(std::string text, const char* provider);

// The text for the ODBC Access driver through ADO's ODBC bridge.
std::string OdbcConnectionString(const Params& p);

// Opens a connection from a connection text: returns "" on success, else the
// failure text.
typedef std::function<std::string(const std::string& connectionText)> ConnectionOpener;

// Tries the Jet 4.0, 3.51 and 3.5 providers and then, after `beforeOdbc`, the
// ODBC Access driver, until one opens. Returns "" on success, else the text
// that lists every failed attempt, one per line ("Jet 4.0: ...\r...").
std::string ConnectWithFallback(const Params& p, uint32_t type, const ConnectionOpener& open,
                                const std::function<void()>& beforeOdbc);

// Makes text safe inside a quoted SQL string literal: single quotes doubled;
// for ADO types carriage returns also become spaces.
std::string EscapeSql(const std::string& text, bool ado);

}  // namespace data
