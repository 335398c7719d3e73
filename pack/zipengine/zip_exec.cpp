// ZipDll.dll: adding files to zip archives and deleting entries from them.
//
// A file spec names a file (stored under its own name), a folder (stored with
// its whole tree under the folder's name), or a mask in its last element
// (every matching file and folder of that folder, folders with their trees).
// Adding entries whose names are all new appends them in place: the old
// central directory is overwritten by the new data and written again after
// it, so adding file after file stays cheap; should that fail, the old
// directory is put back. Replacing or deleting entries writes a new archive
// beside the old one and swaps it in.
#include <windows.h>

#include <set>

#include "names.h"
#include "wide.h"
#include "win_handles.h"
#include "win_io.h"
#include "zip_engine.h"
#include "zip_writer.h"

namespace svzip {

namespace {

std::wstring Lower(std::wstring s) {
  if (!s.empty()) CharLowerBuffW(&s[0], (DWORD)s.size());
  return s;
}

class SourceCollector {
 public:
  SourceCollector(const std::wstring& archive, const std::wstring& temp)
      : skipArchive_(Lower(archive)), skipTemp_(Lower(temp)) {}

  std::vector<AddSource> items;

  // Returns 0, or kSvZipErrNoFiles when a spec without wildcards names nothing.
  int32_t Collect(const std::wstring& spec) {
    size_t cut = spec.find_last_of(L"\\/");
    std::wstring last = cut == std::wstring::npos ? spec : spec.substr(cut + 1);
    if (HasWildcards(sv::Narrow(last))) {
      std::wstring folder = cut == std::wstring::npos ? std::wstring() : spec.substr(0, cut + 1);
      Enumerate(spec, folder, std::wstring());
      return 0;
    }
    std::wstring path = spec;
    while (path.size() > 3 && (path.back() == L'\\' || path.back() == L'/')) path.pop_back();
    DWORD a = GetFileAttributesW(path.c_str());
    if (a == INVALID_FILE_ATTRIBUTES) return kSvZipErrNoFiles;
    size_t slash = path.find_last_of(L"\\/");
    std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    if (name.size() == 2 && name[1] == L':') name.clear();  // a drive root: its content, unprefixed
    if (a & FILE_ATTRIBUTE_DIRECTORY) {
      AddTree(path, name);
      return 0;
    }
    WIN32_FILE_ATTRIBUTE_DATA info;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &info)) return kSvZipErrNoFiles;
    AddFile(path, name, ((uint64_t)info.nFileSizeHigh << 32) | info.nFileSizeLow);
    return 0;
  }

 private:
  void AddFile(const std::wstring& path, const std::wstring& name, uint64_t size) {
    std::wstring full = Lower(path);
    if (full == skipArchive_ || full == skipTemp_) return;  // never the archive into itself
    items.push_back({path, name, false, size});
  }

  void AddTree(const std::wstring& path, const std::wstring& name) {
    if (!name.empty()) items.push_back({path, name, true, 0});
    std::wstring base = path;
    if (base.back() != L'\\') base += L'\\';
    Enumerate(base + L"*", base, name.empty() ? std::wstring() : name + L"/");
  }

  // Everything matching `pattern`, found in `folder`, stored under `prefix`.
  void Enumerate(const std::wstring& pattern, const std::wstring& folder, const std::wstring& prefix) {
    WIN32_FIND_DATAW fd;
    sv::FindHandle h(FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &fd, FindExSearchNameMatch, nullptr,
                                      FIND_FIRST_EX_LARGE_FETCH));
    if (!h) h.Reset(FindFirstFileW(pattern.c_str(), &fd));
    if (!h) return;
    std::vector<WIN32_FIND_DATAW> found;
    do {
      if (wcscmp(fd.cFileName, L".") && wcscmp(fd.cFileName, L"..")) found.push_back(fd);
    } while (FindNextFileW(h.Get(), &fd));
    h.Reset();
    for (const WIN32_FIND_DATAW& f : found) {
      std::wstring path = folder + f.cFileName;
      if (f.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        AddTree(path, prefix + f.cFileName);
      else
        AddFile(path, prefix + f.cFileName, ((uint64_t)f.nFileSizeHigh << 32) | f.nFileSizeLow);
    }
  }

  std::wstring skipArchive_, skipTemp_;
};

std::wstring TempNameFor(const std::wstring& archive) {
  return archive + L"." + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(GetCurrentThreadId()) +
         L".ztmp";
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Writes a new archive from the kept entries of `dir` and the new sources,
// then puts it in place of `archive`.
int32_t Rebuild(const std::wstring& archive, FileSource* old, const ZipDirectory& dir,
                const std::vector<bool>& keep, const std::vector<AddSource>& added, int level) {
  const std::wstring temp = TempNameFor(archive);
  int32_t rc = 0;
  {
    ArchiveWriter w(level);
    if (!w.Out().Create(temp)) return kSvZipErrWrite;
    for (size_t i = 0; rc == 0 && i < dir.entries.size(); ++i)
      if (keep[i]) rc = w.CopyEntry(*old, dir.entries[i]);
    if (rc == 0) rc = w.AddAll(added);
    if (rc == 0) rc = w.WriteDirectory(dir.comment);
    if (rc == 0 && !w.Out().Finish()) rc = kSvZipErrWrite;
    w.Out().Close();
  }
  if (old) old->Close();
  if (rc == 0) {
    SetFileAttributesW(archive.c_str(), FILE_ATTRIBUTE_ARCHIVE);
    if (!MoveFileExW(temp.c_str(), archive.c_str(), MOVEFILE_REPLACE_EXISTING)) rc = kSvZipErrWrite;
  }
  if (rc != 0) DeleteFileW(temp.c_str());
  return rc;
}

// Appends new entries after the last entry of an archive and writes the
// directory again; on failure the old directory is restored.
int32_t Append(const std::wstring& archive, FileSource& old, const ZipDirectory& dir,
               const std::vector<AddSource>& added, int level) {
  old.Close();
  ArchiveWriter w(level);
  if (!w.Out().OpenAt(archive, dir.centralOffset)) return kSvZipErrWrite;
  // The old records stay first in the directory, as their entries in the file.
  for (const ZipEntry& e : dir.entries) w.KeepCentral(e.centralRecord);
  int32_t rc = 0;
  rc = w.AddAll(added);
  if (rc == 0) rc = w.WriteDirectory(dir.comment);
  if (rc == 0 && w.Out().Finish()) return 0;
  if (rc == 0) rc = kSvZipErrWrite;
  // Put the old directory back where it was.
  ArchiveWriter undo(0);
  if (undo.Out().OpenAt(archive, dir.centralOffset)) {
    for (const ZipEntry& e : dir.entries) undo.KeepCentral(e.centralRecord);
    if (undo.WriteDirectory(dir.comment) == 0) undo.Out().Finish();
  }
  return rc;
}

int32_t RunAdd(const SvZipExecParams& p) {
  if (!p.spec || !*p.spec) return kSvZipErrParams;
  const std::wstring archive = FullPath(sv::Wide(p.archive));
  SourceCollector collect(archive, TempNameFor(archive));
  int32_t rc = collect.Collect(FullPath(sv::Wide(p.spec)));
  if (rc) return rc;
  const std::vector<AddSource>& added = collect.items;

  if (!Exists(archive)) {
    ZipDirectory empty;
    rc = Rebuild(archive, nullptr, empty, {}, added, p.level);
    return rc ? rc : (int32_t)added.size();
  }
  FileSource old;
  if (!old.Open(archive)) return kSvZipErrOpen;
  ZipDirectory dir;
  if (!ReadDirectory(old, &dir)) return kSvZipErrFormat;  // never overwrite what is not an archive

  std::set<std::wstring> newNames;
  for (const AddSource& a : added) newNames.insert(Lower(a.folder ? a.name + L"/" : a.name));
  std::vector<bool> keep(dir.entries.size(), true);
  bool replaces = false, plain = dir.prefixBytes == 0 && !dir.zip64;
  for (size_t i = 0; i < dir.entries.size(); ++i) {
    std::wstring name = DecodeName(dir.entries[i]);
    for (wchar_t& c : name)
      if (c == L'\\') c = L'/';
    if (newNames.count(Lower(name))) keep[i] = false, replaces = true;
    if (dir.entries[i].zip64) plain = false;
  }
  if (added.empty()) return 0;
  if (!replaces && plain) rc = Append(archive, old, dir, added, p.level);
  else rc = Rebuild(archive, &old, dir, keep, added, p.level);
  return rc ? rc : (int32_t)added.size();
}

int32_t RunDelete(const SvZipExecParams& p) {
  const std::wstring archive = FullPath(sv::Wide(p.archive));
  FileSource old;
  if (!old.Open(archive)) return kSvZipErrOpen;
  ZipDirectory dir;
  if (!ReadDirectory(old, &dir)) return kSvZipErrFormat;
  const std::string mask = p.spec ? p.spec : "";
  const bool all = IsAllMask(mask);
  std::vector<bool> keep(dir.entries.size(), true);
  int32_t removed = 0;
  for (size_t i = 0; i < dir.entries.size(); ++i) {
    if (all || PathMaskMatch(mask, sv::Narrow(DecodeName(dir.entries[i])))) {
      keep[i] = false;
      ++removed;
    }
  }
  if (removed == 0) return 0;
  int32_t rc = Rebuild(archive, &old, dir, keep, {}, 0);
  return rc ? rc : removed;
}

}  // namespace

}  // namespace svzip

SV_EXPORT int32_t SVAPI ZipDllExec(SvZipExecParams* params) {
  try {
    if (!params || params->size < sizeof(SvZipExecParams) || !params->archive || !*params->archive)
      return kSvZipErrParams;
    if (params->operation == kSvZipAdd) return svzip::RunAdd(*params);
    if (params->operation == kSvZipDelete) return svzip::RunDelete(*params);
    return kSvZipErrParams;
  } catch (...) {
    return kSvZipErrException;
  }
}

SV_EXPORT int32_t SVAPI GetZipDllVersion(void) { return SV_ZIP_ENGINE_VERSION; }
