#include "stub_log.h"

#include <windows.h>

#include "file_io.h"
#include "wide.h"
#include "win_handles.h"

namespace stub {

void AppendLog(const std::string& line) {
  // Opened for appending only, so that lines of several processes never
  // overwrite each other.
  sv::Handle log(CreateFileW(sv::Wide(sv::ProgramFolder() + kLogFile).c_str(), FILE_APPEND_DATA,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!log) return;
  const std::string text = line + "\r\n";
  DWORD written = 0;
  WriteFile(log.Get(), text.data(), (DWORD)text.size(), &written, nullptr);
}

bool MarkerPresent(const char* name) { return sv::FileExists(sv::ProgramFolder() + name); }

}  // namespace stub
