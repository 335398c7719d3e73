// A library without a start function, loaded by the launcher in place of the
// shell or the update wizard.
#include "sv_abi.h"

SV_EXPORT int32_t SVAPI GetModuleVersion(void) { return 1; }
