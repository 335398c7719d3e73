#include "file_replace.h"

#include <windows.h>

#include "win_handles.h"

namespace sv {

namespace {

bool WriteNew(const std::wstring& path, std::string_view bytes) {
  FileHandle f(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!f.Valid()) return false;
  DWORD put = 0;
  bool ok = bytes.empty() || (WriteFile(f.Get(), bytes.data(), (DWORD)bytes.size(), &put, nullptr) && put == bytes.size());
  return ok && FlushFileBuffers(f.Get());
}

}  // namespace

bool WriteFileReplacing(const std::wstring& target, const std::wstring& temp, std::string_view bytes) {
  if (!WriteNew(temp, bytes)) {
    DeleteFileW(temp.c_str());
    return false;
  }
  // Another program may hold the target open for a moment (a virus scanner,
  // a reader), and Wine refuses a replace now and then while the old file is
  // still being closed; retry briefly before giving up.
  for (int attempt = 1; attempt <= 10; ++attempt) {
    if (MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    DWORD err = GetLastError();
    if (err != ERROR_SHARING_VIOLATION && err != ERROR_LOCK_VIOLATION && err != ERROR_ACCESS_DENIED) break;
    Sleep(5 * attempt);
  }
  DeleteFileW(temp.c_str());
  return false;
}

}  // namespace sv
