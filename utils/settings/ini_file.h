// Reading and writing whole INI files. Every call goes to the file; nothing is
// cached. Writes build the new content in a temporary file in the same folder
// and then replace the old file in one step, so that a crash or a full disk
// never leaves a half-written settings file behind. One in-process lock makes
// each read-modify-write of a file whole against other threads.
#pragma once

#include <functional>
#include <string>

#include "ini_text.h"

namespace utils {

// The INI text is shared with other modules; the utility library reads and
// writes it through these names.
using sv::IniText;
using sv::SameName1251;

// Loads the file; false (and an empty text) when it cannot be read.
bool ReadIniFile(const std::string& path, IniText* text);

// Applies `edit` to the file's current content (empty when the file does not
// exist yet) and stores the result if `edit` returned true. Returns false when
// the file could not be written (missing folder, read-only file or folder).
bool EditIniFile(const std::string& path, const std::function<bool(IniText&)>& edit);

}  // namespace utils
