// An old TovrinNet.dll from before the job functions: it exports only its
// module version, so every job function the wizard binds is missing.
#include <cstdint>

extern "C" __declspec(dllexport) int32_t __stdcall GetModuleVersion() { return 1; }
