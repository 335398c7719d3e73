// TovrinMain.dll: the old shell library's names. Every other export is a linker
// forwarder to the current library (see TovrinMain.def); this file holds only the
// library's own version.
#include "sv_abi.h"
#include "compat_version.h"

// The target is declared here rather than through its header, whose
// GetModuleVersion would clash with this library's own.
extern "C" __declspec(dllimport) void SVAPI MsgBoxError(const char* text, const char* caption);

// The forwarders alone would let this library load without its target. One
// real import makes the loader bring the target in with it, so a missing
// target fails the load of this library, as old callers expect.
static auto volatile kTargetImport = &MsgBoxError;

extern "C" int32_t SVAPI GetModuleVersion() {
  (void)kTargetImport;
  return compat::kCompatModuleVersion;
}
