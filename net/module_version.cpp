// GetModuleVersion of SolvikaNet.dll.
#include "SolvikaNet.h"

namespace {

constexpr int32_t kModuleVersion = 13;

}  // namespace

SVNET_API int32_t SVAPI GetModuleVersion(void) { return kModuleVersion; }
