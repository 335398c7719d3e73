#include "handle.h"

#include "ado_db.h"
#include "ado_objects.h"
#include "sqlite_db.h"

namespace data {

DataHandle::DataHandle() = default;

// A handle that is freed while still connected closes its connection and
// query, so neither the database file nor a lock on it is left behind.
DataHandle::~DataHandle() {
  SqliteDisconnect(*this);
  if (ado) AdoDisconnect(*this);
}

}  // namespace data
