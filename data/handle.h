// The database handle behind the caller's SvDataHandle.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "SolvikaData.h"

struct sqlite3;
struct sqlite3_stmt;

namespace data {

struct AdoObjects;  // ADO connection and result set (ado_db.cpp)

struct DataHandle {
  DataHandle();
  ~DataHandle();
  DataHandle(const DataHandle&) = delete;
  DataHandle& operator=(const DataHandle&) = delete;

  uint32_t type = 0;
  int32_t field = 0;      // fields already stepped over in the current row
  bool firstRow = true;   // ADO: the next row step stays on the first row
  int32_t affected = 0;   // rows affected by the last ADO statement
  std::string error;      // error text of the last failure, empty after a success

  // SQLite
  sqlite3* db = nullptr;
  sqlite3_stmt* stmt = nullptr;
  bool rowsSeen = false;  // the open statement has delivered a row
  bool finished = false;  // the open statement has reported its end

  // ADO
  std::unique_ptr<AdoObjects> ado;

  bool IsSqlite() const { return type >= SVDATA_SQLITE; }
};

}  // namespace data
