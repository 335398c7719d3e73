// Run-time binding of the old network API in TovrinNet.dll: the wizard runs
// on machines where that library may be missing or old, so every name is
// looked up when first needed and a missing one is reported once per call.
#pragma once

#include <windows.h>

namespace update {

enum class TovrinFunction {
  CreateHttpQuery, DeleteHttpQuery, SetHttpQueryProp, SetHttpQueryHost, RunHttpQuery, isHttpQueryDone,
  isHttpQueryCorrect, GetHttpQueryResult,
  CreateHttpSize, DeleteHttpSize, SetHttpSizeProp, SetHttpSizeHost, RunHttpSize, isHttpSizeDone,
  isHttpSizeCorrect, GetHttpSizeResult,
  CreateDownload, DeleteDownload, SetDownloadProp, SetDownloadHost, RunDownload, isDownloadDone,
  isDownloadCorrect, GetDownloadResult,
  Count
};

// The address of `function`, or null after telling the user why (a missing
// library or a missing entry point). The library stays loaded for the life
// of the process; found addresses are cached.
FARPROC BindTovrin(TovrinFunction function);

// The calls the wizard makes, each skipped when its binding gives up.
template <class Signature, class... Args>
bool CallTovrin(TovrinFunction function, Args... args) {
  FARPROC address = BindTovrin(function);
  if (!address) return false;
  reinterpret_cast<Signature>(reinterpret_cast<void*>(address))(args...);
  return true;
}

}  // namespace update
