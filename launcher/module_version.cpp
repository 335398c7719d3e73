// The launcher's module version, exported like every library's.
#include "sv_abi.h"

namespace {
constexpr int32_t kModuleVersion = 10;
}

SV_EXPORT int32_t SVAPI GetModuleVersion(void) { return kModuleVersion; }
