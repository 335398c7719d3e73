#include "names.h"

#include <vector>

namespace svzip {

namespace {

char Fold(char c, bool slashes) { return slashes && c == '/' ? '\\' : c; }

bool Same(char a, char b, bool slashes) { return Fold(a, slashes) == Fold(b, slashes); }

// Splits at "\" and "/".
std::vector<std::string_view> Elements(std::string_view path) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  for (size_t i = 0; i <= path.size(); ++i) {
    if (i == path.size() || path[i] == '\\' || path[i] == '/') {
      parts.push_back(path.substr(start, i - start));
      start = i + 1;
    }
  }
  return parts;
}

// Windows drops trailing dots and blanks of a path element, so "..", ". ."
// and "... " all name the parent folder.
bool IsParentElement(std::string_view e) {
  int dots = 0;
  for (char c : e) {
    if (c == '.')
      ++dots;
    else if (c != ' ')
      return false;
  }
  return dots >= 2;
}

bool IsAbsoluteOrDrive(std::string_view path) {
  return path.empty() || path[0] == '\\' || path[0] == '/' || path.find(':') != std::string_view::npos;
}

}  // namespace

static bool Match(std::string_view mask, std::string_view name, bool slashes) {
  // Iterative matching with one back-track point for the last "*".
  size_t m = 0, n = 0, starM = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    if (m < mask.size() && mask[m] == '*') {
      starM = m++;
      starN = n;
    } else if (m < mask.size() && (mask[m] == '?' || Same(mask[m], name[n], slashes))) {
      ++m;
      ++n;
    } else if (starM != std::string_view::npos) {
      m = starM + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

bool MaskMatch(std::string_view mask, std::string_view name) { return Match(mask, name, false); }

bool PathMaskMatch(std::string_view mask, std::string_view name) { return Match(mask, name, true); }

bool IsAllMask(std::string_view mask) { return mask.empty() || mask == "*" || mask == "*.*"; }

bool HasWildcards(std::string_view text) { return text.find_first_of("*?") != std::string_view::npos; }

bool IsSafeRelativePath(std::string_view path) {
  if (IsAbsoluteOrDrive(path)) return false;
  for (std::string_view e : Elements(path))
    if (IsParentElement(e)) return false;
  return true;
}

bool StaysInside(std::string_view path) {
  if (IsAbsoluteOrDrive(path)) return false;
  int depth = 0;
  for (std::string_view e : Elements(path)) {
    if (IsParentElement(e)) {
      if (--depth < 0) return false;
    } else if (!e.empty() && e != ".") {
      ++depth;
    }
  }
  return true;
}

}  // namespace svzip
