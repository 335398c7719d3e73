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
  if (sv::FileExists(path)) SVDeleteFile(path.c_str());
}

// Reads, decompresses and checks one job file. Returns the record, or null
// with `damaged` telling whether the file must go.
JobRecord* ReadJobFile(const std::string& path, bool& damaged) {
  damaged = true;
  WIN32_FILE_ATTRIBUTE_DATA info;
  if (!GetFileAttributesExW(sv::Wide(path).c_str(), GetFileExInfoStandard, &info)) return nullptr;
  if (info.nFileSizeHigh != 0) return nullptr;
  sv::Handle f(CreateFileW(sv::Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
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
  job->savedText.swap(plain);
  damaged = false;
  return job;
}

}  // namespace

std::string JobFolder() { return sv::ProgramFolder() + "SVData\\SVDNM\\"; }

bool EnsureJobFolder() { return sv::CreateFolderTree(JobFolder()); }

std::string DownloadFolder(uint32_t code) { return JobFolder() + HexName(code) + "\\"; }

std::string JobFilePath(uint32_t code) { return JobFolder() + HexName(code) + ".svdnm"; }

void SaveJob(JobRecord& job) {
  std::string plain = BuildJobText(job);
  if (plain == job.savedText) return;
  SvStr text = sv::NewStr(plain);
  SvStr packed = nullptr;
  zlibCompress(&packed, text);
  sv::Release(text);
  std::string bytes = sv::Take(packed);
  if (bytes.empty()) return;
  std::string target = JobFilePath(job.code);
  if (sv::WriteFileReplacing(sv::Wide(target), sv::Wide(JobFolder() + HexName(job.code) + kTempSuffix), bytes))
    job.savedText.swap(plain);
}

std::vector<JobRecord*> LoadJobs() {
  std::vector<JobRecord*> jobs;
  const std::string folder = JobFolder();
  for (const std::string& name : sv::FindNames(folder + "*" + kTempSuffix, sv::EntryKind::kFiles))
    DeleteOneFile(folder + name);
  for (const std::string& name : sv::FindNames(folder + "*.svdnm", sv::EntryKind::kFiles)) {
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
  const std::string ini = sv::ProgramFolder() + "SolvikaLC.ini";
  if (counter == 0) counter = (uint32_t)GetCustomIniInt("SVDNM", "LastHandle", ini.c_str(), 0);
  const std::string folder = JobFolder();
  for (;;) {
    counter++;
    if (counter == kRefusedJobCode || counter == kFailedJobCode) continue;
    std::string base = folder + HexName(counter);
    if (sv::FileExists(base + ".svdnm") || sv::FolderExists(base)) continue;
    break;
  }
  SetCustomIniInt("SVDNM", "LastHandle", (int32_t)counter, ini.c_str());
  return counter;
}

void DeleteJobFiles(const std::string& name, bool keepJobFile) {
  size_t cut = name.find(".svdnm");
  std::string full = JobFolder() + (cut == std::string::npos ? name : name.substr(0, cut));
  if (!keepJobFile) {
    DeleteOneFile(full + ".txt");
    DeleteOneFile(full + ".svdnm");
  }
  sv::RemoveFolderTree(full);
  sv::RemoveFolderTree(full + "-1");
  sv::RemoveFolderTree(full + "-2");
}

}  // namespace svdnm
