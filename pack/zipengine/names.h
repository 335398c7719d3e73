// Name rules shared by the zip engine and the packing library: wildcard
// masks and the checks that keep archive and list paths inside their folder.
// Texts are Windows-1251 bytes; no Windows API here.
#pragma once

#include <string>
#include <string_view>

namespace svzip {

// "*" matches any run of characters (also none), "?" exactly one, every
// other character itself, with case; the whole name must match.
bool MaskMatch(std::string_view mask, std::string_view name);

// The same for entry paths: "\" and "/" count as one character.
bool PathMaskMatch(std::string_view mask, std::string_view name);

// True for the masks that select everything: empty, "*" and "*.*".
bool IsAllMask(std::string_view mask);

// True for a mask with "*" or "?" in it.
bool HasWildcards(std::string_view text);

// A path that may be joined to a folder: not empty, not absolute ("\", "/"),
// no drive or stream (":"), and no element that names the parent folder
// ("..", or what Windows reads as such: dots and blanks with two dots).
bool IsSafeRelativePath(std::string_view path);

// A path relative to a folder that never leaves it: not absolute, no ":",
// and its ".." elements never climb above where it started.
bool StaysInside(std::string_view path);

}  // namespace svzip
