// Folder work of the packing library. Paths are Windows-1251; the Windows
// calls get UTF-16.
#pragma once

#include <string>
#include <vector>

namespace svpu {

std::string WithSlash(std::string path);
bool DirExists(const std::string& path);
bool FileExists(const std::string& path);

// Creates the folder and every missing folder above it; true when it exists
// afterwards.
bool MakeFolders(const std::string& path);

// Deletes every file and subfolder of `folder` (read-only ones too); the
// folder itself stays.
void EmptyFolder(const std::string& folder);

// Empties the folder, then sets its attributes to "directory" only and
// removes it. Failures are ignored.
void RemoveTree(const std::string& folder);

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

// The entries of a folder (without "." and ".."), read before anything is
// changed in it.
struct FolderEntry {
  std::string name;
  bool folder = false;
};
std::vector<FolderEntry> ListFolder(const std::string& folder);

// Whole-file read; false when the file cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string* bytes);

}  // namespace svpu
