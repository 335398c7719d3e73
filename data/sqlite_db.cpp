// Connection, statements and result rows of the SQLite types.
#include "sqlite_db.h"

#include <windows.h>

#include <cstring>

#include "SolvikaData.h"
#include "sqlite3.h"
#include "wide.h"

namespace data {

namespace {

bool IsBusy(int rc) {
  rc &= 0xFF;  // extended codes keep the primary code in the low byte
  return rc == SQLITE_BUSY || rc == SQLITE_LOCKED;
}

void SetError(DataHandle& h) {
  const char* msg = h.db ? sqlite3_errmsg(h.db) : nullptr;
  h.error = msg ? msg : "out of memory";
}

// Waits before another attempt when the budget allows one.
bool Retry(int rc, int& attempts) {
  if (!IsBusy(rc) || attempts >= kBusyAttempts) return false;
  ++attempts;
  Sleep(kBusyWaitMs);
  return true;
}

}  // namespace

bool SqliteConnect(DataHandle& h, const std::string& file) {
  SqliteDisconnect(h);
  std::wstring name = sv::Wide(file);
  int rc = sqlite3_open16(name.c_str(), &h.db);
  if (rc == SQLITE_OK) {
    // UTF-8 storage keeps the Windows-1251 bytes as they are (see the header);
    // this has no effect on a database that already has content.
    rc = sqlite3_exec(h.db, "PRAGMA encoding='UTF-8'", nullptr, nullptr, nullptr);
  }
  if (rc == SQLITE_OK && h.type == SVDATA_SQLITE_RU && !RegisterRussianFunctions(h.db)) rc = sqlite3_errcode(h.db);
  if (rc != SQLITE_OK) {
    SetError(h);
    sqlite3_close(h.db);
    h.db = nullptr;
    return false;
  }
  h.error.clear();
  return true;
}

void SqliteDisconnect(DataHandle& h) {
  SqliteCloseQuery(h);
  if (h.db) sqlite3_close_v2(h.db);
  h.db = nullptr;
}

// Runs the statements of the text one after another. A statement that meets a
// busy or locked database is tried again on its own, so statements that have
// already run are never repeated.
bool SqliteExec(DataHandle& h, const char* sql) {
  if (!h.db) {
    h.error = "not connected";
    return false;
  }
  int attempts = 1;
  const char* rest = sql ? sql : "";
  while (*rest) {
    sqlite3_stmt* st = nullptr;
    const char* tail = nullptr;
    int rc = sqlite3_prepare_v2(h.db, rest, -1, &st, &tail);
    if (rc != SQLITE_OK) {
      SetError(h);
      sqlite3_finalize(st);
      if (Retry(rc, attempts)) continue;
      return false;
    }
    if (!st) {  // only blanks or a comment were left
      rest = tail;
      continue;
    }
    for (;;) {
      do {
        rc = sqlite3_step(st);
      } while (rc == SQLITE_ROW);
      if (rc == SQLITE_DONE) break;
      SetError(h);
      sqlite3_reset(st);
      if (!Retry(rc, attempts)) {
        sqlite3_finalize(st);
        return false;
      }
    }
    sqlite3_finalize(st);
    rest = tail;
  }
  h.error.clear();
  return true;
}

bool SqliteOpenQuery(DataHandle& h, const char* sql) {
  SqliteCloseQuery(h);
  if (!h.db) {
    h.error = "not connected";
    return false;
  }
  int attempts = 1;
  for (;;) {
    int rc = sqlite3_prepare_v2(h.db, sql ? sql : "", -1, &h.stmt, nullptr);
    if (rc == SQLITE_OK) break;
    SetError(h);
    sqlite3_finalize(h.stmt);
    h.stmt = nullptr;
    if (!Retry(rc, attempts)) return false;
  }
  h.error.clear();
  return true;
}

void SqliteCloseQuery(DataHandle& h) {
  if (h.stmt) sqlite3_finalize(h.stmt);
  h.stmt = nullptr;
  h.rowsSeen = false;
  h.finished = false;
}

// Steps to the next row. A query that finds the database busy before its first
// row is tried again like a statement; once it has ended it stays ended (SQLite
// would otherwise start it again from the top).
bool SqliteNextRow(DataHandle& h) {
  h.field = 0;
  if (!h.stmt || h.finished) return false;
  int attempts = 1;
  int rc;
  for (;;) {
    rc = sqlite3_step(h.stmt);
    if (rc == SQLITE_ROW) {
      h.rowsSeen = true;
      return true;
    }
    if (rc == SQLITE_DONE) break;
    SetError(h);
    if (h.rowsSeen || !IsBusy(rc) || attempts >= kBusyAttempts) break;
    sqlite3_reset(h.stmt);
    Retry(rc, attempts);
  }
  h.finished = true;
  return false;
}

int SqliteFieldCount(DataHandle& h) { return h.stmt ? sqlite3_data_count(h.stmt) : 0; }

// The caller's variable usually still holds the previous field, with no other
// reference to it: when its block has room, the new value is copied into it
// instead of allocating a string and freeing the old one for every field.
bool ReuseString(SvStr* out, const unsigned char* text, int bytes) {
  if (!out || !*out) return false;
  SvHeader* header = sv::HeaderOf(*out);
  if (header->refCount != 1) return false;
  const SIZE_T room = HeapSize(GetProcessHeap(), 0, header);
  if (room == (SIZE_T)-1 || room < sizeof(SvHeader) + (size_t)bytes + 1) return false;
  memcpy(*out, text, (size_t)bytes);
  (*out)[bytes] = 0;
  header->length = bytes;
  return true;
}

void SqliteValueInto(DataHandle& h, int index, SvStr* out) {
  const bool valid = h.stmt && index >= 0 && index < sqlite3_data_count(h.stmt);
  const unsigned char* text = valid ? sqlite3_column_text(h.stmt, index) : nullptr;
  const int bytes = text ? sqlite3_column_bytes(h.stmt, index) : 0;
  if (!text || bytes <= 0) {
    sv::StrPut(out, nullptr);
    return;
  }
  if (!ReuseString(out, text, bytes)) sv::StrPut(out, sv::StrNew((const char*)text, bytes));
}

SvStr SqliteValue(DataHandle& h, int index) {
  if (!h.stmt || index < 0 || index >= sqlite3_data_count(h.stmt)) return nullptr;
  const unsigned char* text = sqlite3_column_text(h.stmt, index);
  int bytes = sqlite3_column_bytes(h.stmt, index);
  if (!text || bytes <= 0) return nullptr;
  return sv::StrNew((const char*)text, bytes);
}

}  // namespace data
