// UnzDll.dll: extraction and testing of zip archives.
//
// Before anything is written, every entry name of the archive is checked: an
// archive that holds one name that would land outside the target folder
// (absolute, with a drive, or with a parent-folder element) is refused as a
// whole, so that a hostile download writes nothing at all.
#include <windows.h>

#include <set>

#include "entry_data.h"
#include "file_io.h"
#include "names.h"
#include "wide.h"
#include "win_handles.h"
#include "win_io.h"
#include "zip_engine.h"

namespace svzip {

namespace {

// The structure of a wide name kept for the path checks: every non-ASCII
// character becomes a letter, so no conversion can invent a "." or "\".
std::string Skeleton(const std::wstring& name) {
  std::string s;
  s.reserve(name.size());
  for (wchar_t c : name) {
    if (c < 0x20) return std::string();  // control characters (NUL included): no valid name
    s.push_back(c < 0x80 ? (char)c : 'x');
  }
  return s;
}

class Extractor {
 public:
  explicit Extractor(const std::wstring& root) : root_(root) {
    if (!root_.empty() && root_.back() != L'\\' && root_.back() != L'/') root_ += L'\\';
  }

  bool MakeRoot() { return MakeFolders(root_); }

  // Creates `path` (ending in "\") and every missing folder above it; the
  // folders made or found once are remembered, so each costs one check.
  bool MakeFolders(const std::wstring& path) {
    if (made_.count(path)) return true;
    if (!sv::CreateFolderTree(path)) return false;
    made_.insert(path);
    return true;
  }

  int32_t Write(FileSource& source, const ZipEntry& entry, const std::wstring& name) {
    std::wstring path = root_ + name;
    for (wchar_t& c : path)
      if (c == L'/') c = L'\\';
    if (entry.IsFolder()) return MakeFolders(path) ? 0 : kSvZipErrWrite;
    size_t cut = path.rfind(L'\\');
    if (cut != std::wstring::npos && !MakeFolders(path.substr(0, cut + 1))) return kSvZipErrWrite;

    sv::Handle h(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_ARCHIVE, nullptr));
    if (!h && GetLastError() == ERROR_ACCESS_DENIED) {
      // A read-only file of the same name is replaced like any other.
      SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_ARCHIVE);
      h.Reset(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_ARCHIVE, nullptr));
    }
    if (!h) return kSvZipErrWrite;
    int32_t rc = ReadEntryData(source, entry, [&](const char* data, size_t n) {
      DWORD put = 0;
      return WriteFile(h.Get(), data, (DWORD)n, &put, nullptr) && put == n;
    });
    if (rc == 0) {
      FILETIME written = FileTimeOfDos(entry.dosTime);
      SetFileTime(h.Get(), nullptr, nullptr, &written);
    }
    // Closed here rather than by the owner: a failed close is a failed write.
    if (!CloseHandle(h.Release()) && rc == 0) rc = kSvZipErrWrite;
    if (rc != 0) DeleteFileW(path.c_str());  // no half-written file stays behind
    return rc;
  }

 private:
  std::wstring root_;
  std::set<std::wstring> made_;
};

int32_t Run(const SvZipExecParams& p) {
  if (!p.archive || !*p.archive) return kSvZipErrParams;
  const bool test = p.operation == kSvZipTest;
  if (!test && (!p.folder || !*p.folder)) return kSvZipErrParams;

  FileSource source;
  if (!source.Open(sv::Wide(p.archive))) return kSvZipErrOpen;
  ZipDirectory dir;
  if (!ReadDirectory(source, &dir)) return kSvZipErrFormat;

  std::vector<std::wstring> names;
  names.reserve(dir.entries.size());
  for (const ZipEntry& e : dir.entries) {
    names.push_back(DecodeName(e));
    if (!test && !IsSafeRelativePath(Skeleton(names.back()))) return kSvZipErrUnsafeName;
  }

  const std::string mask = p.spec ? p.spec : "";
  const bool all = IsAllMask(mask);
  Extractor out(test ? std::wstring() : FullPath(sv::Wide(p.folder)));
  if (!test && !out.MakeRoot()) return kSvZipErrWrite;

  int32_t count = 0;
  for (size_t i = 0; i < dir.entries.size(); ++i) {
    const ZipEntry& e = dir.entries[i];
    if (!all && !PathMaskMatch(mask, sv::Narrow(names[i]))) continue;
    int32_t rc;
    if (test)
      rc = e.IsFolder() ? 0 : ReadEntryData(source, e, [](const char*, size_t) { return true; });
    else
      rc = out.Write(source, e, names[i]);
    if (rc != 0) return rc;
    ++count;
  }
  return count;
}

}  // namespace

}  // namespace svzip

SV_EXPORT int32_t SVAPI UnzDllExec(SvZipExecParams* params) {
  try {
    if (!params || params->size < sizeof(SvZipExecParams)) return kSvZipErrParams;
    if (params->operation != kSvZipExtract && params->operation != kSvZipTest) return kSvZipErrParams;
    return svzip::Run(*params);
  } catch (...) {
    return kSvZipErrException;
  }
}

SV_EXPORT int32_t SVAPI GetUnzDllVersion(void) { return SV_ZIP_ENGINE_VERSION; }
