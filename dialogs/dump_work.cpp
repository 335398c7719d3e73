#include "dump_work.h"

#include <algorithm>
#include <vector>

#include "dump_format.h"
#include "file_io.h"
#include "wide.h"

namespace dump {

namespace {

constexpr size_t kListFlushBytes = 64 * 1024;

bool WriteAll(HANDLE file, const std::string& bytes) {
  DWORD written = 0;
  return bytes.empty() ||
         (WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) && written == bytes.size());
}

// Puts the file at `source` under the flat name `copy` for the packer: a hard
// link where the scratch folder is on the same volume (no bytes are copied,
// and the packer only reads it), else a real copy.
bool PlaceCopy(const std::string& source, const std::string& copy) {
  const std::wstring from = sv::Wide(source), to = sv::Wide(copy);
  DeleteFileW(to.c_str());  // a leftover of an earlier attempt
  return CreateHardLinkW(to.c_str(), from.c_str(), nullptr) || CopyFileW(from.c_str(), to.c_str(), FALSE);
}

}  // namespace

void DumpWork::Prepare(std::string programFolder, std::string baseName, std::string listPath) {
  folder_ = std::move(programFolder);
  base_ = std::move(baseName);
  listPath_ = std::move(listPath);
  cancel_ = false;
  ResetCounters();
}

void DumpWork::ResetCounters() {
  sv::Lock hold(lock_);
  progress_ = Progress();
}

Progress DumpWork::Snapshot() {
  sv::Lock hold(lock_);
  return progress_;
}

std::string DumpWork::ArchivePath() const { return base_ + kArchiveExtension; }
std::string DumpWork::ScratchFolder() const { return base_ + kScratchExtension; }

int32_t DumpWork::ListFolder(HANDLE listFile) {
  std::string pending;
  if (!ListTree(listFile, std::string(), &pending)) return kPhaseListWriteFailed;
  return WriteAll(listFile, pending) ? kPhaseOk : kPhaseListWriteFailed;
}

bool DumpWork::ListTree(HANDLE listFile, const std::string& relative, std::string* pending) {
  WIN32_FIND_DATAW found;
  sv::FindHandle search(FindFirstFileW(sv::Wide(folder_ + relative + "*").c_str(), &found));
  if (!search) return true;
  do {
    if (cancel_) return true;
    if (!wcscmp(found.cFileName, L".") || !wcscmp(found.cFileName, L"..")) continue;
    std::string path = relative + sv::Narrow(found.cFileName);
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      // A junction would lead out of the program folder or round in a circle.
      if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) continue;
      if (!ListTree(listFile, path + "\\", pending)) return false;
      continue;
    }
    ListedFile file{path, (static_cast<uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow};
    *pending += ListLine(file);
    if (pending->size() >= kListFlushBytes) {
      if (!WriteAll(listFile, *pending)) return false;
      pending->clear();
    }
    sv::Lock hold(lock_);
    ++progress_.totalFiles;
    progress_.totalBytes += static_cast<int64_t>(file.size);
  } while (FindNextFileW(search.Get(), &found));
  return true;
}

int32_t DumpWork::PackFiles(ZipFilesProc zipFiles) {
  const std::string archive = ArchivePath();
  int32_t result = zipFiles(archive.c_str(), listPath_.c_str());
  if (result != 0) return result;
  std::string text;
  std::vector<ListedFile> files;
  if (!sv::ReadWholeFile(listPath_, &text) || !ParseList(text, &files)) return kPhaseListUnreadable;
  const std::string scratch = sv::WithSlash(ScratchFolder());
  for (const ListedFile& file : files) {
    if (cancel_) return kPhaseOk;
    {
      sv::Lock hold(lock_);
      progress_.currentFile = file.path;
    }
    const std::string source = folder_ + file.path;
    if (NeedsFlatName(file.path)) {
      const std::string copy = scratch + FlatName(file.path);
      if (!PlaceCopy(source, copy)) return kPhaseCopyFailed;
      result = zipFiles(archive.c_str(), copy.c_str());
      DeleteFileW(sv::Wide(copy).c_str());
    } else {
      result = zipFiles(archive.c_str(), source.c_str());
    }
    if (result != 0) return result;
    sv::Lock hold(lock_);
    ++progress_.doneFiles;
    progress_.doneBytes += static_cast<int64_t>(file.size);
  }
  return kPhaseOk;
}

int ProgressPercent(int64_t doneBytes, int64_t totalBytes) {
  if (totalBytes <= 0) return 100;
  return static_cast<int>(std::min<int64_t>(100, doneBytes * 100 / totalBytes));
}

}  // namespace dump
