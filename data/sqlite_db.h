// SQLite databases (types 6 and 7).
//
// Text encoding: all text of the system is Windows-1251, and the databases
// that plugins ship store their text as those very bytes. The layer therefore
// hands SQL texts to SQLite unchanged and returns column texts unchanged: a
// Windows-1251 byte string goes in and comes out, never converted to or from
// UTF-8. SQLite does not check that text is valid UTF-8, so the bytes survive
// in databases whose storage encoding is UTF-8. For that reason a connection
// asks for UTF-8 storage right after opening (SQLite's UTF-16 open would make
// a new database UTF-16, and its conversion would destroy the Cyrillic bytes);
// the request only affects a database that has no content yet. The type-7
// functions "like", "upper" and "lower" likewise read and write 1251 bytes.
#pragma once

#include <string>

#include "handle.h"
#include "sv_abi.h"

namespace data {

// Attempts in all for a statement that meets a busy or locked database, and
// the pause between two attempts.
const int kBusyAttempts = 10;
const unsigned kBusyWaitMs = 1000;

bool SqliteConnect(DataHandle& h, const std::string& file);
void SqliteDisconnect(DataHandle& h);
bool SqliteExec(DataHandle& h, const char* sql);
bool SqliteOpenQuery(DataHandle& h, const char* sql);
void SqliteCloseQuery(DataHandle& h);
bool SqliteNextRow(DataHandle& h);
int SqliteFieldCount(DataHandle& h);
// Column `index` (zero-based) of the current row as text; null for NULL.
SvStr SqliteValue(DataHandle& h, int index);
// The same stored into `out` (as StrPut would), reusing its string when that
// is the only reference and has room.
void SqliteValueInto(DataHandle& h, int index, SvStr* out);

// Registers the Russian-aware "like", "upper" and "lower" (type 7).
bool RegisterRussianFunctions(sqlite3* db);

}  // namespace data
