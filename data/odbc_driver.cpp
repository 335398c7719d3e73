// Registration of the ODBC Access driver, so that ADO's ODBC bridge finds it
// on machines where only its files are present.
#include <string>

#include "SolvikaUtils.h"
#include "ado_db.h"
#include "svstring.h"

namespace data {

namespace {

const uint32_t kLocalMachine = 0x80000002;
const char kDriver[] = "Microsoft Access Driver (*.mdb)";
const char kDriversKey[] = "SOFTWARE\\ODBC\\ODBCINST.INI\\ODBC Drivers";
const char kDriverKey[] = "SOFTWARE\\ODBC\\ODBCINST.INI\\Microsoft Access Driver (*.mdb)";
const char kMissing[] = "--not-exists--";
const int32_t kMissingInt = 0x7FFFFFFF;

void EnsureString(const char* key, const char* name, const std::string& value) {
  const std::string now = sv::TakeOut([&](SvStr* out) { GetRegistryString(out, kLocalMachine, key, name, kMissing); });
  if (now == kMissing) SetRegistryString(kLocalMachine, key, name, value.c_str());
}

}  // namespace

void RegisterOdbcAccessDriver() {
  const std::string driverFile = sv::TakeOut(GetSysDir) + "odbcjt32.dll";

  EnsureString(kDriversKey, kDriver, "Installed");
  if (GetRegistryInt(kLocalMachine, kDriverKey, "UsageCount", kMissingInt) == kMissingInt)
    SetRegistryInt(kLocalMachine, kDriverKey, "UsageCount", 4);
  EnsureString(kDriverKey, "Driver", driverFile);
  EnsureString(kDriverKey, "Setup", driverFile);
  EnsureString(kDriverKey, "APILevel", "1");
  EnsureString(kDriverKey, "ConnectFunctions", "YYN");
  EnsureString(kDriverKey, "DriverODBCVer", "02.50");
  EnsureString(kDriverKey, "FileUsage", "2");
  EnsureString(kDriverKey, "FileExtns", "*.mdb");
  EnsureString(kDriverKey, "SQLLevel", "0");
}

}  // namespace data
