#include "ado_db.h"

#include <new>

#include "ado_objects.h"

namespace data {

namespace {

const long kCmdText = 1;            // adCmdText
const long kExecuteNoRecords = 0x80;  // adExecuteNoRecords
const long kStateOpen = 1;          // adStateOpen

AdoObjects& Objects(DataHandle& h) {
  if (!h.ado) h.ado.reset(new AdoObjects);
  return *h.ado;
}

std::string OpenConnection(DataHandle& h, const std::string& text) {
  try {
    Dispatch conn = Dispatch::Create(L"ADODB.Connection");
    Variant arg(text);
    conn.Call(L"Open", {arg.get()});
    Objects(h).connection = std::move(conn);
    return std::string();
  } catch (const ComError& e) {
    return e.message.empty() ? std::string("error") : e.message;
  } catch (const std::bad_alloc&) {
    return "out of memory";
  }
}

bool Connected(DataHandle& h) { return h.ado && h.ado->connection; }

// Runs the text on the connection; returns the result set, if any, and
// stores the affected-row count.
Dispatch Execute(DataHandle& h, const char* sql, long options) {
  Variant count;
  VARIANT countRef;
  VariantInit(&countRef);
  countRef.vt = VT_BYREF | VT_VARIANT;
  countRef.pvarVal = count.get();
  Variant text(std::string(sql ? sql : ""));
  Variant opt(options);
  Variant result;
  h.ado->connection.Call(L"Execute", {text.get(), &countRef, opt.get()}, &result);
  h.affected = count.IsNullOrEmpty() ? 0 : (int32_t)count.AsLong();
  return Dispatch::FromVariant(result);
}

bool RecordsetOpen(DataHandle& h) {
  if (!h.ado || !h.ado->recordset) return false;
  Variant state;
  h.ado->recordset.Get(L"State", &state);
  return (state.AsLong() & kStateOpen) != 0;
}

bool AtEnd(DataHandle& h) {
  Variant eof;
  h.ado->recordset.Get(L"EOF", &eof);
  return eof.AsBool();
}

}  // namespace

bool AdoConnect(DataHandle& h, const Params& p) {
  AdoDisconnect(h);
  EnsureCom();
  std::string failures = ConnectWithFallback(
      p, h.type, [&](const std::string& text) { return OpenConnection(h, text); }, RegisterOdbcAccessDriver);
  h.error = failures;
  return failures.empty();
}

void AdoDisconnect(DataHandle& h) {
  AdoCloseQuery(h);
  if (!Connected(h)) return;
  try {
    Variant state;
    h.ado->connection.Get(L"State", &state);
    if (state.AsLong() & kStateOpen) h.ado->connection.Call(L"Close", {});
  } catch (const ComError&) {
  }
  h.ado->connection.Reset();
}

bool AdoExec(DataHandle& h, const char* sql) {
  h.affected = 0;
  if (!Connected(h)) {
    h.error = "not connected";
    return false;
  }
  try {
    Execute(h, sql, kCmdText | kExecuteNoRecords);
    h.error.clear();
    return true;
  } catch (const ComError& e) {
    h.error = e.message;
    return false;
  }
}

bool AdoOpenQuery(DataHandle& h, const char* sql) {
  AdoCloseQuery(h);
  h.affected = 0;
  if (!Connected(h)) {
    h.error = "not connected";
    return false;
  }
  try {
    h.ado->recordset = Execute(h, sql, kCmdText);
    h.error.clear();
    return true;
  } catch (const ComError& e) {
    h.error = e.message;
    return false;
  }
}

void AdoCloseQuery(DataHandle& h) {
  h.field = 0;
  h.firstRow = true;
  if (!h.ado || !h.ado->recordset) return;
  try {
    if (RecordsetOpen(h)) h.ado->recordset.Call(L"Close", {});
  } catch (const ComError&) {
  }
  h.ado->recordset.Reset();
}

bool AdoQueryOpen(const DataHandle& h) { return h.ado && h.ado->recordset; }

// A result set from Execute already stands on its first row, so the first
// step stays there; later steps move on.
bool AdoNextRow(DataHandle& h) {
  h.field = 0;
  try {
    if (!RecordsetOpen(h) || AtEnd(h)) return false;
    if (h.firstRow) {
      h.firstRow = false;
    } else {
      h.ado->recordset.Call(L"MoveNext", {});
    }
    return !AtEnd(h);
  } catch (const ComError& e) {
    h.error = e.message;
    return false;
  }
}

int AdoFieldCount(DataHandle& h) {
  try {
    if (!RecordsetOpen(h)) return 0;
    Variant count;
    h.ado->recordset.GetObject(L"Fields").Get(L"Count", &count);
    return (int)count.AsLong();
  } catch (const ComError& e) {
    h.error = e.message;
    return 0;
  }
}

SvStr AdoValue(DataHandle& h, int index) {
  try {
    if (!RecordsetOpen(h)) return nullptr;
    Variant i((long)index);
    Dispatch field = h.ado->recordset.GetObject(L"Fields").GetObject(L"Item", {i.get()});
    Variant value;
    field.Get(L"Value", &value);
    std::string text = value.AsText();
    return sv::StrNew(text.data(), (int32_t)text.size());
  } catch (const ComError& e) {
    h.error = e.message;
    return nullptr;
  }
}

bool JetCompact(const std::string& from, const std::string& to) {
  try {
    Dispatch engine = Dispatch::Create(L"JRO.JetEngine");
    Variant a(from), b(to);
    engine.Call(L"CompactDatabase", {a.get(), b.get()});
    return true;
  } catch (const ComError&) {
    return false;
  }
}

}  // namespace data
