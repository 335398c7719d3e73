// The exports of other system libraries that the host calls: the settings of
// the old utility library's name and the access control. Declared here
// because their headers declare a GetModuleVersion of their own.
#pragma once

#include "sv_abi.h"

extern "C" {
__declspec(dllimport) void SVAPI GetIniString(SvStr* out, const char* section, const char* key, const char* def);
__declspec(dllimport) SvBool SVAPI PFGetAccess(const char* module, const char* item);
}
