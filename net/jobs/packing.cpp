// The packing library's zip functions. When SolvikaPU is part of the build
// the engine links it; otherwise they are resolved from SolvikaPU.dll when
// first needed, so that the engine still serves plain files without it.
#include <windows.h>

#include "jobs/packing.h"

#ifdef SVNET_LINK_PU
#include "SolvikaPU.h"
#endif

namespace svnet {

#ifdef SVNET_LINK_PU

int32_t PackFiles(const std::string& archive, const std::string& files) {
  return ZipFiles(archive.c_str(), files.c_str());
}

int32_t UnpackFiles(const std::string& archive, const std::string& folder, const std::string& masks) {
  return UnZipFiles(archive.c_str(), folder.c_str(), masks.c_str());
}

#else

namespace {

typedef int32_t(SVAPI* UnZipFilesFn)(const char* archive, const char* folder, const char* masks);
typedef int32_t(SVAPI* ZipFilesFn)(const char* archive, const char* files);

constexpr int32_t kNoPackingLibrary = 2;  // as SVZIP_NO_ZIPDLL

FARPROC PackingFunction(const char* name) {
  static HMODULE module = nullptr;
  if (!module) module = LoadLibraryW(L"SolvikaPU.dll");
  return module ? GetProcAddress(module, name) : nullptr;
}

}  // namespace

int32_t PackFiles(const std::string& archive, const std::string& files) {
  auto fn = (ZipFilesFn)PackingFunction("ZipFiles");
  return fn ? fn(archive.c_str(), files.c_str()) : kNoPackingLibrary;
}

int32_t UnpackFiles(const std::string& archive, const std::string& folder, const std::string& masks) {
  auto fn = (UnZipFilesFn)PackingFunction("UnZipFiles");
  return fn ? fn(archive.c_str(), folder.c_str(), masks.c_str()) : kNoPackingLibrary;
}

#endif

}  // namespace svnet
