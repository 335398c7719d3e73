// The ADO objects a handle holds while connected.
#pragma once

#include "com_dispatch.h"

namespace data {

struct AdoObjects {
  Dispatch connection;
  Dispatch recordset;
};

}  // namespace data
