// Handles on the zip engine and the library's two locks.
#pragma once

#include <windows.h>

#include <string>

#include "zip_engine.h"

namespace svpu {

struct EngineHandle {
  HMODULE module = nullptr;
  SvZipExecProc exec = nullptr;
  int32_t lastResult = 0;
  SvZipExecParams params;
};

// Re-entrant locks (critical sections) for unpacking and for packing.
CRITICAL_SECTION* UnpackLock();
CRITICAL_SECTION* PackLock();

class Hold {
 public:
  explicit Hold(CRITICAL_SECTION* cs) : cs_(cs) { EnterCriticalSection(cs_); }
  ~Hold() { LeaveCriticalSection(cs_); }
  Hold(const Hold&) = delete;
  Hold& operator=(const Hold&) = delete;

 private:
  CRITICAL_SECTION* cs_;
};

// Program folder (GetCurrDir), ending in "\".
std::string ProgramFolder();

// Calls a numeric export of an engine library loaded from the program folder
// (0 when the library or export is missing).
int32_t EngineVersion(const wchar_t* library, const char* exportName);

}  // namespace svpu
