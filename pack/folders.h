// Folder work of the packing library beyond the shared folder helpers of
// file_io.h. Paths are Windows-1251; the Windows calls get UTF-16.
#pragma once

#include <string>

namespace svpu {

// Moves everything of `from` into `to` (both ending in "\"): files replace
// files of the same name; a subfolder is moved whole when the target has none
// of that name, otherwise merged the same way. Failures of single moves are
// not reported.
void MoveContent(const std::string& from, const std::string& to);

// Copies every entry of `source` (no trailing "\") into `target` (ending in
// "\"), in search order: the target's attributes are set to "archive" only,
// then the entry is copied over it. Folders cannot be copied this way, so a
// folder entry fails the copy. Stops with false at the first failure.
bool CopyEntries(const std::string& source, const std::string& target);

}  // namespace svpu
