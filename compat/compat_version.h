// The version every compatibility library reports: 65501 (0xFFDD), which old
// callers read as "the forwarding generation".
#pragma once

#include <stdint.h>

namespace compat {
constexpr int32_t kCompatModuleVersion = 65501;
}
