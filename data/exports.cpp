// The exports of SolvikaData.dll. Each one checks the caller's handle and
// hands the work to the SQLite or the ADO side by the database type.
#include <windows.h>

#include "SolvikaData.h"
#include "SolvikaUtils.h"
#include "ado_db.h"
#include "connection_strings.h"
#include "guard.h"
#include "handle.h"
#include "sqlite_db.h"
#include "svstring.h"

using data::DataHandle;

namespace {

const uint32_t kLastType = SVDATA_SQLITE_RU;

DataHandle* Of(SvDataHandle* handle) { return handle ? static_cast<DataHandle*>(*handle) : nullptr; }

// Types whose file must exist before connecting: the Jet types and SQLite.
bool NeedsExistingFile(uint32_t type) { return type <= SVDATA_JET_ENGINE5 || type >= SVDATA_SQLITE; }

bool Exec(DataHandle& h, const char* sql) { return h.IsSqlite() ? data::SqliteExec(h, sql) : data::AdoExec(h, sql); }

void CloseQuery(DataHandle& h) {
  h.field = 0;
  h.firstRow = true;
  data::SqliteCloseQuery(h);
  data::AdoCloseQuery(h);
}

void Disconnect(DataHandle& h) {
  CloseQuery(h);
  data::SqliteDisconnect(h);
  data::AdoDisconnect(h);
}

}  // namespace

SVD_API SvDataHandle SVAPI SVDataCreate(uint32_t type) {
  return sv::Guard<SvDataHandle>(nullptr, [&]() -> SvDataHandle {
    if (type > kLastType) return nullptr;
    DataHandle* h = new DataHandle;
    h->type = type;
    return h;
  });
}

SVD_API void SVAPI SVDataFree(SvDataHandle* handle) {
  sv::GuardVoid([&] {
    DataHandle* h = Of(handle);
    if (!h) return;
    *handle = nullptr;
    delete h;
  });
}

SVD_API SvBool SVAPI SVDataConnect(SvDataHandle* handle, const TSVDataConnectParams* params) {
  return sv::Guard<SvBool>(0, [&]() -> SvBool {
    DataHandle* h = Of(handle);
    if (!h) return 0;
    data::Params p = data::ReadParams(params);
    if (NeedsExistingFile(h->type)) {
      if (p.file.empty() || !SVFileExists(p.file.c_str())) return 0;
      SVSetAttrib(p.file.c_str(), FILE_ATTRIBUTE_ARCHIVE);
    }
    Disconnect(*h);
    return h->IsSqlite() ? data::SqliteConnect(*h, p.file) : data::AdoConnect(*h, p);
  });
}

SVD_API void SVAPI SVDataDisconnect(SvDataHandle* handle) {
  sv::GuardVoid([&] {
    if (DataHandle* h = Of(handle)) Disconnect(*h);
  });
}

SVD_API SvBool SVAPI SVDataExec(SvDataHandle* handle, const char* sql) {
  return sv::Guard<SvBool>(0, [&]() -> SvBool {
    DataHandle* h = Of(handle);
    return h && Exec(*h, sql);
  });
}

SVD_API SvBool SVAPI SVDataExecDuo(SvDataHandle* handle, const char* first, const char* second) {
  return sv::Guard<SvBool>(0, [&]() -> SvBool {
    DataHandle* h = Of(handle);
    if (!h) return 0;
    if (h->IsSqlite()) return Exec(*h, first) || Exec(*h, second);
    // An update that falls back to an insert: the first text counts only when
    // it changed at least one row.
    if (Exec(*h, first) && h->affected > 0) return 1;
    return Exec(*h, second) && h->affected > 0;
  });
}

SVD_API int32_t SVAPI SVDataAffectedRow(SvDataHandle* handle) {
  return sv::Guard<int32_t>(0, [&]() -> int32_t {
    DataHandle* h = Of(handle);
    return h && !h->IsSqlite() ? h->affected : 0;
  });
}

SVD_API SvBool SVAPI SVDataOpenQuery(SvDataHandle* handle, const char* sql) {
  return sv::Guard<SvBool>(0, [&]() -> SvBool {
    DataHandle* h = Of(handle);
    if (!h) return 0;
    CloseQuery(*h);
    return h->IsSqlite() ? data::SqliteOpenQuery(*h, sql) : data::AdoOpenQuery(*h, sql);
  });
}

SVD_API void SVAPI SVDataCloseQuery(SvDataHandle* handle) {
  sv::GuardVoid([&] {
    if (DataHandle* h = Of(handle)) CloseQuery(*h);
  });
}

SVD_API SvBool SVAPI SVDataNextRow(SvDataHandle* handle) {
  return sv::Guard<SvBool>(0, [&]() -> SvBool {
    DataHandle* h = Of(handle);
    if (!h) return 0;
    return h->IsSqlite() ? data::SqliteNextRow(*h) : data::AdoNextRow(*h);
  });
}

SVD_API SvBool SVAPI SVDataNextField(SvDataHandle* handle) {
  return sv::Guard<SvBool>(0, [&]() -> SvBool {
    DataHandle* h = Of(handle);
    if (!h) return 0;
    int count = h->IsSqlite() ? data::SqliteFieldCount(*h) : data::AdoFieldCount(*h);
    if (h->field >= count) return 0;
    ++h->field;
    return 1;
  });
}

SVD_API void SVAPI SVDataGetValue(SvStr* out, SvDataHandle* handle) {
  sv::GuardVoid([&] {
    DataHandle* h = Of(handle);
    if (h && h->field > 0 && h->IsSqlite()) return data::SqliteValueInto(*h, h->field - 1, out);
    SvStr value = nullptr;
    if (h && h->field > 0)
      value = h->IsSqlite() ? data::SqliteValue(*h, h->field - 1) : data::AdoValue(*h, h->field - 1);
    sv::StrPut(out, value);
  });
}

SVD_API int32_t SVAPI SVDataGetRowCount(SvDataHandle* handle) {
  return sv::Guard<int32_t>(0, [&]() -> int32_t {
    DataHandle* h = Of(handle);
    return h && !h->IsSqlite() && data::AdoQueryOpen(*h) ? 65535 : 0;
  });
}

SVD_API void SVAPI SVDataError(SvStr* out, SvDataHandle* handle) {
  sv::GuardVoid([&] {
    DataHandle* h = Of(handle);
    sv::PutStr(out, h ? h->error : std::string());
  });
}

SVD_API void SVAPI SVDataEscapeString(SvStr* out, SvDataHandle* handle, const char* text) {
  sv::GuardVoid([&] {
    DataHandle* h = Of(handle);
    sv::PutStr(out, h ? data::EscapeSql(std::string(sv::Text(text)), !h->IsSqlite()) : std::string());
  });
}

SVD_API SvBool SVAPI SVDataCompact(const TSVDataConnectParams* params, uint32_t type) {
  return sv::Guard<SvBool>(0, [&]() -> SvBool {
    if (type > SVDATA_JET_ENGINE5) return 0;  // Jet databases only
    data::Params p = data::ReadParams(params);
    if (p.file.empty() || !SVFileExists(p.file.c_str())) return 0;
    const std::string temp = p.file + ".~tmp";
    SVDeleteFile(temp.c_str());
    data::Params target = p;
    target.file = temp;
    if (!data::JetCompact(data::JetConnectionString(p, type, true), data::JetConnectionString(target, type, true)))
      return 0;
    SvBool moved = SVMoveFile(temp.c_str(), p.file.c_str());
    DebugWrite(("+SVData > Compact " + p.file).c_str());
    return moved;
  });
}

SVD_API int32_t SVAPI GetModuleVersion(void) { return 11; }
