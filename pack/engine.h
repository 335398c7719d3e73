// Handles on the zip engine and the library's two locks.
#pragma once

#include <windows.h>

#include <string>

#include "win_handles.h"
#include "zip_engine.h"

namespace svpu {

struct EngineHandle {
  sv::Module module;
  SvZipExecProc exec = nullptr;
  int32_t lastResult = 0;
  SvZipExecParams params;
};

// Re-entrant locks for unpacking and for packing, held with sv::Lock.
sv::CriticalSection& UnpackLock();
sv::CriticalSection& PackLock();

// Calls a numeric export of an engine library loaded from the program folder
// (0 when the library or export is missing).
int32_t EngineVersion(const wchar_t* library, const char* exportName);

}  // namespace svpu
