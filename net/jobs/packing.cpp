// The packing library's zip functions, resolved from SolvikaPU.dll when first
// needed, so that the engine loads (and serves plain files) without it.
#include <windows.h>

#include "job.h"

namespace svnet {

namespace {

typedef int32_t(SVAPI* UnZipFilesFn)(const char* archive, const char* folder, const char* masks);
typedef int32_t(SVAPI* ZipFilesFn)(const char* archive, const char* files);

FARPROC PackingFunction(const char* name) {
  static HMODULE module = nullptr;
  if (!module) module = LoadLibraryW(L"SolvikaPU.dll");
  return module ? GetProcAddress(module, name) : nullptr;
}

}  // namespace

int32_t PackFiles(const std::string& archive, const std::string& files) {
  auto fn = (ZipFilesFn)PackingFunction("ZipFiles");
  return fn ? fn(archive.c_str(), files.c_str()) : 2;
}

int32_t UnpackFiles(const std::string& archive, const std::string& folder, const std::string& masks) {
  auto fn = (UnZipFilesFn)PackingFunction("UnZipFiles");
  return fn ? fn(archive.c_str(), folder.c_str(), masks.c_str()) : 2;
}

}  // namespace svnet
