// The engine handles: each loads its engine library from the program folder,
// runs single operations under the matching lock and logs them.
#include "engine.h"

#include <string.h>

#include "SolvikaPU.h"
#include "SolvikaUtils.h"
#include "guard.h"
#include "svstring.h"
#include "wide.h"

namespace svpu {

namespace {

struct Locks {
  CRITICAL_SECTION unpack, pack;
  Locks() {
    InitializeCriticalSection(&unpack);
    InitializeCriticalSection(&pack);
  }
  ~Locks() {
    DeleteCriticalSection(&unpack);
    DeleteCriticalSection(&pack);
  }
};

Locks& TheLocks() {
  static Locks locks;  // made when the library loads (see dllmain.cpp)
  return locks;
}

void Log(const std::string& line) { DebugWrite(line.c_str()); }

bool Create(void** handle, const wchar_t* library, const char* entry) {
  if (!handle) return false;
  *handle = nullptr;
  std::wstring path = sv::Wide(ProgramFolder()) + library;
  HMODULE module = LoadLibraryW(path.c_str());
  if (!module) return false;
  FARPROC exec = GetProcAddress(module, entry);
  if (!exec) {
    FreeLibrary(module);
    return false;
  }
  EngineHandle* h = new EngineHandle;
  h->module = module;
  h->exec = (SvZipExecProc)exec;
  memset(&h->params, 0, sizeof h->params);
  *handle = h;
  return true;
}

void Destroy(void** handle) {
  if (!handle || !*handle) return;
  EngineHandle* h = (EngineHandle*)*handle;
  *handle = nullptr;
  if (h->module) FreeLibrary(h->module);
  delete h;
}

// One engine call; an exception inside it counts as result -1000.
int32_t Run(EngineHandle* h, int32_t operation, const char* archive, const char* folder, const char* spec) {
  memset(&h->params, 0, sizeof h->params);
  h->params.size = sizeof h->params;
  h->params.operation = operation;
  h->params.archive = archive ? archive : "";
  h->params.folder = folder ? folder : "";
  h->params.spec = spec ? spec : "";
  h->params.level = 9;
  int32_t result;
  try {
    result = h->exec(&h->params);
  } catch (...) {
    result = kSvZipErrException;
  }
  h->lastResult = result;
  return result;
}

}  // namespace

CRITICAL_SECTION* UnpackLock() { return &TheLocks().unpack; }
CRITICAL_SECTION* PackLock() { return &TheLocks().pack; }

std::string ProgramFolder() {
  SvStr dir = nullptr;
  GetCurrDir(&dir);
  std::string path(dir ? dir : "", (size_t)sv::Length(dir));
  sv::Release(dir);
  if (!path.empty() && path.back() != '\\') path += '\\';
  return path;
}

int32_t EngineVersion(const wchar_t* library, const char* exportName) {
  HMODULE module = LoadLibraryW((sv::Wide(ProgramFolder()) + library).c_str());
  if (!module) return 0;
  int32_t version = 0;
  if (FARPROC fn = GetProcAddress(module, exportName)) version = ((SvZipVersionProc)fn)();
  FreeLibrary(module);
  return version;
}

}  // namespace svpu

using namespace svpu;

SV_EXPORT SvBool SVAPI SVUnzCreate(void** handle) {
  return sv::Guard<SvBool>(0, [&] { return (SvBool)Create(handle, L"UnzDll.dll", "UnzDllExec"); });
}

SV_EXPORT SvBool SVAPI SVZipCreate(void** handle) {
  return sv::Guard<SvBool>(0, [&] { return (SvBool)Create(handle, L"ZipDll.dll", "ZipDllExec"); });
}

SV_EXPORT void SVAPI SVUnzDestroy(void** handle) { sv::GuardVoid([&] { Destroy(handle); }); }

SV_EXPORT void SVAPI SVZipDestroy(void** handle) { sv::GuardVoid([&] { Destroy(handle); }); }

SV_EXPORT SvBool SVAPI SVUnzExstract(void* handle, const char* archive, const char* folder, const char* mask) {
  return sv::Guard<SvBool>(0, [&] {
    if (!handle) return (SvBool)0;
    Hold lock(UnpackLock());
    Log("UnZIP: " + std::string(sv::Text(archive)));
    int32_t result = Run((EngineHandle*)handle, kSvZipExtract, archive, folder, mask);
    Log("UnZIP Result: " + std::to_string(result));
    return (SvBool)(result >= 0);
  });
}

SV_EXPORT SvBool SVAPI SVUnzTest(void* handle, const char* archive, const char* mask) {
  return sv::Guard<SvBool>(0, [&] {
    if (!handle) return (SvBool)0;
    Hold lock(UnpackLock());
    Log("UnZIP: " + std::string(sv::Text(archive)));
    int32_t result = Run((EngineHandle*)handle, kSvZipTest, archive, nullptr, mask);
    Log("UnZIP Result: " + std::to_string(result));
    return (SvBool)(result >= 0);
  });
}

SV_EXPORT SvBool SVAPI SVZipAdd(void* handle, const char* archive, const char* spec) {
  return sv::Guard<SvBool>(0, [&] {
    if (!handle) return (SvBool)0;
    Hold lock(PackLock());
    Log("ZIP: " + std::string(sv::Text(archive)) + " " + std::string(sv::Text(spec)));
    int32_t result = Run((EngineHandle*)handle, kSvZipAdd, archive, nullptr, spec);
    Log("ZIP Result: " + std::to_string(result));
    return (SvBool)(result >= 0);
  });
}

SV_EXPORT SvBool SVAPI SVZipDelete(void* handle, const char* archive, const char* spec) {
  return sv::Guard<SvBool>(0, [&] {
    if (!handle) return (SvBool)0;
    Hold lock(PackLock());
    Log("ZIP: " + std::string(sv::Text(archive)) + " " + std::string(sv::Text(spec)));
    int32_t result = Run((EngineHandle*)handle, kSvZipDelete, archive, nullptr, spec);
    Log("ZIP-delete Result: " + std::to_string(result));
    return (SvBool)(result >= 0);
  });
}

SV_EXPORT SvBool SVAPI SVisZipUnzCorrect(void* handle) {
  return sv::Guard<SvBool>(0, [&] { return (SvBool)(handle && ((EngineHandle*)handle)->lastResult >= 0); });
}

SV_EXPORT int32_t SVAPI SVZipUnzResult(void* handle) {
  return sv::Guard<int32_t>(0, [&] { return handle ? ((EngineHandle*)handle)->lastResult : 0; });
}

SV_EXPORT void SVAPI SVUnzCSEnter(void) { EnterCriticalSection(UnpackLock()); }
SV_EXPORT void SVAPI SVUnzCSLeave(void) { LeaveCriticalSection(UnpackLock()); }
SV_EXPORT void SVAPI SVZipCSEnter(void) { EnterCriticalSection(PackLock()); }
SV_EXPORT void SVAPI SVZipCSLeave(void) { LeaveCriticalSection(PackLock()); }

SV_EXPORT int32_t SVAPI GetUnzDllVersion(void) {
  return sv::Guard<int32_t>(0, [] { return EngineVersion(L"UnzDll.dll", "GetUnzDllVersion"); });
}

SV_EXPORT int32_t SVAPI GetZipDllVersion(void) {
  return sv::Guard<int32_t>(0, [] { return EngineVersion(L"ZipDll.dll", "GetZipDllVersion"); });
}
