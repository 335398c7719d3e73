// Jet (Access) databases through ADO (types 0 to 5). Every ADO failure is
// caught here and becomes a false result with the error text in the handle.
#pragma once

#include <string>

#include "connection_strings.h"
#include "handle.h"
#include "sv_abi.h"

namespace data {

// Tries the Jet 4.0, 3.51 and 3.5 providers and then the ODBC Access driver;
// on failure the handle's error text lists every attempt, one per line.
bool AdoConnect(DataHandle& h, const Params& p);
void AdoDisconnect(DataHandle& h);
bool AdoExec(DataHandle& h, const char* sql);
bool AdoOpenQuery(DataHandle& h, const char* sql);
void AdoCloseQuery(DataHandle& h);
bool AdoNextRow(DataHandle& h);
bool AdoQueryOpen(const DataHandle& h);
int AdoFieldCount(DataHandle& h);
SvStr AdoValue(DataHandle& h, int index);

// Compacts a Jet database from one connection text into another through the
// platform's Jet engine object; false on any error of that object.
bool JetCompact(const std::string& from, const std::string& to);

// Registers the ODBC Access driver under HKEY_LOCAL_MACHINE, writing only the
// values that do not exist yet.
void RegisterOdbcAccessDriver();

}  // namespace data
