#include "folders.h"

#include <windows.h>

#include "SolvikaUtils.h"
#include "file_io.h"
#include "wide.h"

namespace svpu {

void MoveContent(const std::string& from, const std::string& to) {
  for (const sv::FolderEntry& f : sv::FindEntries(from + "*")) {
    const std::string source = from + f.name, target = to + f.name;
    if (f.isFolder) {
      // A whole folder is renamed in one step when nothing is in its way.
      if (GetFileAttributesW(sv::Wide(target).c_str()) == INVALID_FILE_ATTRIBUTES &&
          MoveFileW(sv::Wide(source).c_str(), sv::Wide(target).c_str()))
        continue;
      CreateDirectoryW(sv::Wide(target).c_str(), nullptr);
      MoveContent(source + "\\", target + "\\");
    } else {
      SVMoveFile(source.c_str(), target.c_str());
    }
  }
}

bool CopyEntries(const std::string& source, const std::string& target) {
  for (const std::string& name : sv::FindNames(source + "\\*.*", sv::EntryKind::kAny)) {
    const std::wstring to = sv::Wide(target + name);
    SetFileAttributesW(to.c_str(), FILE_ATTRIBUTE_ARCHIVE);
    if (!CopyFileW(sv::Wide(source + "\\" + name).c_str(), to.c_str(), FALSE)) return false;
  }
  return true;
}

}  // namespace svpu
