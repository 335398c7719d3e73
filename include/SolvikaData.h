// Exports of SolvikaData.dll: a handle-based query layer over SQLite database
// files and, on Windows, Jet (Access) databases through ADO.
//
// Text: every text handed in or out is Windows-1251. In SQLite databases the
// layer stores that text byte for byte (no conversion to UTF-8), so the
// databases that plugins ship and read keep their Windows-1251 contents; new
// databases are created with SQLite's UTF-8 storage so the bytes stay as they
// are. See data/sqlite_db.h for the details.
#pragma once

#include "sv_abi.h"

#ifdef SV_BUILDING_DATA
#define SVD_API SV_EXPORT
#else
#define SVD_API SV_IMPORT
#endif

// Database types accepted by SVDataCreate.
enum {
  SVDATA_JET = 0,          // ADO, Jet, "Jet OLEDB:Engine Type=0"
  SVDATA_JET_PLAIN = 1,    // ADO, Jet, no engine type
  SVDATA_JET_ENGINE4 = 2,  // ADO, Jet, "Jet OLEDB:Engine Type=4"
  SVDATA_JET_ENGINE5 = 3,  // ADO, Jet, "Jet OLEDB:Engine Type=5"
  SVDATA_ADO_4 = 4,        // ADO, connects like type 0, file need not exist
  SVDATA_ADO_5 = 5,        // ADO, connects like type 0, file need not exist
  SVDATA_SQLITE = 6,       // SQLite
  SVDATA_SQLITE_RU = 7     // SQLite with Russian-aware like, upper and lower
};

// Connection parameters: the caller fills as many fields as it knows and puts
// the record's size in `size`; the library reads at most these 28 bytes and
// treats missing fields as zero.
typedef struct TSVDataConnectParams {
  int32_t size;
  const char* file;        // database file name
  const char* user;        // ADO "User ID", may be null
  const char* password;    // ADO "Password", may be null
  const char* dbPassword;  // Jet database password, may be null
  uint32_t access;         // 0 not given, 1 read, 2 read and write
  uint32_t share;          // 0 not given, 1 deny none, 2 deny read, 3 deny write, 4 deny both
} TSVDataConnectParams;
#ifdef __cplusplus
static_assert(sizeof(TSVDataConnectParams) == 28, "connection parameters are 28 bytes");
#endif

typedef void* SvDataHandle;

SVD_API SvDataHandle SVAPI SVDataCreate(uint32_t type);
SVD_API void SVAPI SVDataFree(SvDataHandle* handle);
SVD_API SvBool SVAPI SVDataConnect(SvDataHandle* handle, const TSVDataConnectParams* params);
SVD_API void SVAPI SVDataDisconnect(SvDataHandle* handle);
SVD_API SvBool SVAPI SVDataExec(SvDataHandle* handle, const char* sql);
SVD_API SvBool SVAPI SVDataExecDuo(SvDataHandle* handle, const char* first, const char* second);
SVD_API int32_t SVAPI SVDataAffectedRow(SvDataHandle* handle);
SVD_API SvBool SVAPI SVDataOpenQuery(SvDataHandle* handle, const char* sql);
SVD_API void SVAPI SVDataCloseQuery(SvDataHandle* handle);
SVD_API SvBool SVAPI SVDataNextRow(SvDataHandle* handle);
SVD_API SvBool SVAPI SVDataNextField(SvDataHandle* handle);
SVD_API void SVAPI SVDataGetValue(SvStr* out, SvDataHandle* handle);
SVD_API int32_t SVAPI SVDataGetRowCount(SvDataHandle* handle);
SVD_API void SVAPI SVDataError(SvStr* out, SvDataHandle* handle);
SVD_API void SVAPI SVDataEscapeString(SvStr* out, SvDataHandle* handle, const char* text);
SVD_API SvBool SVAPI SVDataCompact(const TSVDataConnectParams* params, uint32_t type);
#ifdef SV_BUILDING_DATA
SVD_API int32_t SVAPI GetModuleVersion(void);
#endif
