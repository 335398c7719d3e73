#include "job_store.h"

#include <windows.h>

#include "SolvikaPU.h"
#include "SolvikaUtils.h"
#include "file_io.h"
#include "job_text.h"
#include "svstring.h"
#include "wide.h"
#include "win_handles.h"

namespace svdnm {

namespace {

// Suffix of the temporary file a save writes before it replaces the job file.
// "*.svdnm" never matches it, so loading cannot mistake it for a job.
const char kTempSuffix[] = ".svdnm.new";

bool EndsWithNoCase(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && _stricmp(s.c_str() + s.size() - tail.size(), tail.c_str()) == 0;
}

void DeleteOneFile(const std::string& path) {
  if (FileExists(path)) SVDeleteFile(path.c_str());
}

// Reads, decompresses and checks one job file. Returns the record, or null
// with `damaged` telling whether the file must go.
JobRecord* ReadJobFile(const std::string& path, bool& damaged) {
  damaged = true;
  WIN32_FILE_ATTRIBUTE_DATA info;
  if (!GetFileAttributesExW(sv::Wide(path).c_str(), GetFileExInfoStandard, &info)) return nullptr;
  if (info.nFileSizeHigh != 0) return nullptr;
  sv::FileHandle f(CreateFileW(sv::Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!f.Valid()) {
    damaged = false;  // locked by someone else: leave it for another run
    return nullptr;
  }
  DWORD size = info.nFileSizeLow, got = 0;
  SvStr packed = sv::StrAlloc((int32_t)size);
  if (size && !packed) return nullptr;
  bool read = size == 0 || (ReadFile(f.Get(), packed, size, &got, nullptr) && got == size);
  f.Reset();
  SvStr text = nullptr;
  if (read && size) zlibDecompress(&text, packed);
  sv::Release(packed);
  std::string plain = sv::Take(text);
  if (plain.empty()) return nullptr;
  auto* job = new JobRecord();
  if (!ParseJobText(plain, *job)) {
    delete job;
    return nullptr;
  }
  job->SavedText.swap(plain);
  damaged = false;
  return job;
}

}  // namespace

std::string ProgramFolder() {
  SvStr dir = nullptr;
  GetCurrDir(&dir);
  return sv::Take(dir);
}

std::string JobFolder() { return ProgramFolder() + "SVData\\SVDNM\\"; }

bool FolderExists(const std::string& path) { return SVDirExsists(path.c_str()) != 0; }

bool FileExists(const std::string& path) { return SVFileExists(path.c_str()) != 0; }

bool CreateFolder(const std::string& path) {
  CreateDirectoryW(sv::Wide(path).c_str(), nullptr);
  return FolderExists(path);
}

bool EnsureJobFolder() {
  CreateFolder(ProgramFolder() + "SVData\\");
  return CreateFolder(JobFolder());
}

std::string DownloadFolder(uint32_t code) { return JobFolder() + HexName(code) + "\\"; }

std::string JobFilePath(uint32_t code) { return JobFolder() + HexName(code) + ".svdnm"; }

void SaveJob(JobRecord& job) {
  std::string plain = BuildJobText(job);
  if (plain == job.SavedText) return;
  SvStr text = sv::NewStr(plain);
  SvStr packed = nullptr;
  zlibCompress(&packed, text);
  sv::Release(text);
  std::string bytes = sv::Take(packed);
  if (bytes.empty()) return;
  std::string target = JobFilePath(job.Code);
  if (sv::WriteFileReplacing(sv::Wide(target), sv::Wide(JobFolder() + HexName(job.Code) + kTempSuffix), bytes))
    job.SavedText.swap(plain);
}

std::vector<JobRecord*> LoadJobs() {
  std::vector<JobRecord*> jobs;
  const std::string folder = JobFolder();
  for (const std::string& name : FindNames(folder + "*" + kTempSuffix, false)) DeleteOneFile(folder + name);
  for (const std::string& name : FindNames(folder + "*.svdnm", false)) {
    if (!EndsWithNoCase(name, ".svdnm")) continue;
    bool damaged = false;
    JobRecord* job = ReadJobFile(folder + name, damaged);
    if (job) jobs.push_back(job);
    else if (damaged) DeleteJobFiles(name, false);
  }
  return jobs;
}

uint32_t AllocateCode() {
  static sv::CriticalSection lock;
  static uint32_t counter = 0;
  sv::Lock hold(lock);
  const std::string ini = ProgramFolder() + "SolvikaLC.ini";
  if (counter == 0) counter = (uint32_t)GetCustomIniInt("SVDNM", "LastHandle", ini.c_str(), 0);
  const std::string folder = JobFolder();
  for (;;) {
    counter++;
    if (counter == 0 || counter == 0xFFFFFFFFu) continue;
    std::string base = folder + HexName(counter);
    if (FileExists(base + ".svdnm") || FolderExists(base)) continue;
    break;
  }
  SetCustomIniInt("SVDNM", "LastHandle", (int32_t)counter, ini.c_str());
  return counter;
}

std::vector<std::string> FindNames(const std::string& pattern, bool folders) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW(sv::Wide(pattern).c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    bool isFolder = (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    std::wstring n = fd.cFileName;
    if (n == L"." || n == L"..") continue;
    if (isFolder == folders) names.push_back(sv::Narrow(n));
  } while (FindNextFileW(h, &fd));
  FindClose(h);
  return names;
}

void RemoveTree(const std::string& folder) {
  std::string base = folder;
  if (!base.empty() && base.back() != '\\') base += '\\';
  if (!FolderExists(base)) return;
  for (const std::string& name : FindNames(base + "*", false)) SVDeleteFile((base + name).c_str());
  for (const std::string& name : FindNames(base + "*", true)) RemoveTree(base + name);
  RemoveDirectoryW(sv::Wide(base).c_str());
}

void DeleteJobFiles(const std::string& name, bool keepJobFile) {
  size_t cut = name.find(".svdnm");
  std::string full = JobFolder() + (cut == std::string::npos ? name : name.substr(0, cut));
  if (!keepJobFile) {
    DeleteOneFile(full + ".txt");
    DeleteOneFile(full + ".svdnm");
  }
  RemoveTree(full);
  RemoveTree(full + "-1");
  RemoveTree(full + "-2");
}

}  // namespace svdnm
