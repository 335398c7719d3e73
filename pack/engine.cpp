// The engine handles: each loads its engine library from the program folder,
// runs single operations under the matching lock and logs them.
#include "engine.h"

#include <string.h>

#include "SolvikaPU.h"
#include "SolvikaUtils.h"
#include "file_io.h"
#include "guard.h"
#include "svstring.h"
#include "wide.h"

namespace svpu {

namespace {

struct Locks {
  sv::CriticalSection unpack, pack;
};

Locks& TheLocks() {
  static Locks locks;  // made when the library loads (see dllmain.cpp)
  return locks;
}

void Log(const std::string& line) { DebugWrite(line.c_str()); }

bool Create(void** handle, const wchar_t* library, const char* entry) {
  if (!handle) return false;
  *handle = nullptr;
  std::wstring path = sv::Wide(sv::ProgramFolder()) + library;
  sv::Module module(LoadLibraryW(path.c_str()));
  if (!module) return false;
  FARPROC exec = GetProcAddress(module.Get(), entry);
  if (!exec) return false;
  EngineHandle* h = new EngineHandle;
  h->module = std::move(module);
  h->exec = (SvZipExecProc)exec;
  memset(&h->params, 0, sizeof h->params);
  *handle = h;
  return true;
}

void Destroy(void** handle) {
  if (!handle || !*handle) return;
  EngineHandle* h = (EngineHandle*)*handle;
  *handle = nullptr;
  delete h;  // its module is freed with it
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

sv::CriticalSection& UnpackLock() { return TheLocks().unpack; }
sv::CriticalSection& PackLock() { return TheLocks().pack; }

int32_t EngineVersion(const wchar_t* library, const char* exportName) {
  sv::Module module(LoadLibraryW((sv::Wide(sv::ProgramFolder()) + library).c_str()));
  if (!module) return 0;
  FARPROC fn = GetProcAddress(module.Get(), exportName);
  return fn ? ((SvZipVersionProc)fn)() : 0;
}

}  // namespace svpu

using namespace svpu;

SVPU_API SvBool SVAPI SVUnzCreate(void** handle) {
  return sv::Guard<SvBool>(0, [&] { return (SvBool)Create(handle, L"UnzDll.dll", "UnzDllExec"); });
}

SVPU_API SvBool SVAPI SVZipCreate(void** handle) {
  return sv::Guard<SvBool>(0, [&] { return (SvBool)Create(handle, L"ZipDll.dll", "ZipDllExec"); });
}

SVPU_API void SVAPI SVUnzDestroy(void** handle) { sv::GuardVoid([&] { Destroy(handle); }); }

SVPU_API void SVAPI SVZipDestroy(void** handle) { sv::GuardVoid([&] { Destroy(handle); }); }

SVPU_API SvBool SVAPI SVUnzExstract(void* handle, const char* archive, const char* folder, const char* mask) {
  return sv::Guard<SvBool>(0, [&] {
    if (!handle) return (SvBool)0;
    sv::Lock lock(UnpackLock());
    Log("UnZIP: " + std::string(sv::Text(archive)));
    int32_t result = Run((EngineHandle*)handle, kSvZipExtract, archive, folder, mask);
    Log("UnZIP Result: " + std::to_string(result));
    return (SvBool)(result >= 0);
  });
}

SVPU_API SvBool SVAPI SVUnzTest(void* handle, const char* archive, const char* mask) {
  return sv::Guard<SvBool>(0, [&] {
    if (!handle) return (SvBool)0;
    sv::Lock lock(UnpackLock());
    Log("UnZIP: " + std::string(sv::Text(archive)));
    int32_t result = Run((EngineHandle*)handle, kSvZipTest, archive, nullptr, mask);
    Log("UnZIP Result: " + std::to_string(result));
    return (SvBool)(result >= 0);
  });
}

SVPU_API SvBool SVAPI SVZipAdd(void* handle, const char* archive, const char* spec) {
  return sv::Guard<SvBool>(0, [&] {
    if (!handle) return (SvBool)0;
    sv::Lock lock(PackLock());
    Log("ZIP: " + std::string(sv::Text(archive)) + " " + std::string(sv::Text(spec)));
    int32_t result = Run((EngineHandle*)handle, kSvZipAdd, archive, nullptr, spec);
    Log("ZIP Result: " + std::to_string(result));
    return (SvBool)(result >= 0);
  });
}

SVPU_API SvBool SVAPI SVZipDelete(void* handle, const char* archive, const char* spec) {
  return sv::Guard<SvBool>(0, [&] {
    if (!handle) return (SvBool)0;
    sv::Lock lock(PackLock());
    Log("ZIP: " + std::string(sv::Text(archive)) + " " + std::string(sv::Text(spec)));
    int32_t result = Run((EngineHandle*)handle, kSvZipDelete, archive, nullptr, spec);
    Log("ZIP-delete Result: " + std::to_string(result));
    return (SvBool)(result >= 0);
  });
}

SVPU_API SvBool SVAPI SVisZipUnzCorrect(void* handle) {
  return sv::Guard<SvBool>(0, [&] { return (SvBool)(handle && ((EngineHandle*)handle)->lastResult >= 0); });
}

SVPU_API int32_t SVAPI SVZipUnzResult(void* handle) {
  return sv::Guard<int32_t>(0, [&] { return handle ? ((EngineHandle*)handle)->lastResult : 0; });
}

// The exported pairs let a caller hold a lock across several calls; inside
// the library the locks are held with sv::Lock.
SVPU_API void SVAPI SVUnzCSEnter(void) { UnpackLock().Enter(); }
SVPU_API void SVAPI SVUnzCSLeave(void) { UnpackLock().Leave(); }
SVPU_API void SVAPI SVZipCSEnter(void) { PackLock().Enter(); }
SVPU_API void SVAPI SVZipCSLeave(void) { PackLock().Leave(); }

SVPU_API int32_t SVAPI GetUnzDllVersion(void) {
  return sv::Guard<int32_t>(0, [] { return EngineVersion(L"UnzDll.dll", "GetUnzDllVersion"); });
}

SVPU_API int32_t SVAPI GetZipDllVersion(void) {
  return sv::Guard<int32_t>(0, [] { return EngineVersion(L"ZipDll.dll", "GetZipDllVersion"); });
}
