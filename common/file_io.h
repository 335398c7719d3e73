// Whole-file reads, replace-writes, the program folder and folder trees.
// Paths are Windows-1251 unless the parameter says otherwise; the Windows
// calls get UTF-16.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sv {

// Reads the whole file into `bytes`: the bytes up to the size it had when it
// was opened (fewer if another writer shortens it meanwhile). The file is
// opened for reading while others may read, write or delete it. False when it
// cannot be opened or read or is larger than 2 GB; `bytes` is then
// unspecified.
bool ReadWholeFile(const std::string& path1251, std::string* bytes);

// Writes `bytes` to `temp` (flushed), then moves it over `target` in one step,
// so that a crash never leaves half a file. A replace refused for a moment
// (sharing, lock, or the "access denied" Wine gives while the old file is
// still being closed) is retried briefly. On failure the temporary file is
// removed and the old target is left as it was.
bool WriteFileReplacing(const std::wstring& target, const std::wstring& temp, std::string_view bytes);
// The same with the temporary file beside the target, named after the target,
// the process and the thread ("<target>.<pid>-<tid>.tmp").
bool WriteFileReplacing(const std::string& target1251, std::string_view bytes);

// The full path of the running executable as the system gives it (UTF-16, so
// that a path with letters outside Windows-1251 survives; empty on failure).
std::wstring ExecutablePath();
// The folder of the running executable with its trailing "\" (empty if the
// path has no "\").
std::string ProgramFolder();

bool FolderExists(const std::string& path1251);
bool FileExists(const std::string& path1251);  // an existing file, not a folder

// `path` with a trailing "\" added when it has none (an empty path gets one).
std::string WithSlash(std::string path1251);

// One entry of a folder search.
struct FolderEntry {
  std::string name;  // the name alone, Windows-1251
  bool isFolder = false;
  bool isLink = false;  // a junction or symbolic link
  bool readOnly = false;
  uint64_t size = 0;  // of a file, in bytes
};

// The entries `pattern` ("C:\dir\*", "C:\dir\*.txt") matches, without "." and
// "..", in the order the search gives them. They are all read before the call
// returns, so the caller may change the folder while it walks the list.
std::vector<FolderEntry> FindEntries(const std::string& pattern1251);

enum class EntryKind { kFiles, kFolders, kAny };
// The names alone of the entries of one kind that `pattern` matches.
std::vector<std::string> FindNames(const std::string& pattern1251, EntryKind kind);

// Creates the folder and every missing folder above it ("\" or "/" between
// the parts, a trailing separator allowed). True when the folder exists
// afterwards; false when it cannot be made (a file in the way, no access).
bool CreateFolderTree(const std::string& path1251);
bool CreateFolderTree(const std::wstring& path);

// Deletes everything inside the folder: files (read-only, hidden and system
// ones too) and subfolders with their content. A linked folder (junction or
// symbolic link) is removed as a link; what it points to is not touched. The
// folder itself stays. True when nothing is left in it.
bool EmptyFolder(const std::string& path1251);

// Empties the folder as EmptyFolder does and removes it, read-only or not; a
// linked folder is removed as a link. True when the folder does not exist
// afterwards (also when it never did).
bool RemoveFolderTree(const std::string& path1251);

}  // namespace sv
