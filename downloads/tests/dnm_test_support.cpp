#include "dnm_test_support.h"

#include "SolvikaPU.h"
#include "file_io.h"
#include "job_store.h"
#include "job_text.h"
#include "svstring.h"
#include "wide.h"

namespace dnmtest {

std::string Folder() { return TestProgramFolder() + "SVData\\SVDNM\\"; }

std::string Hex(uint32_t code) { return svdnm::HexName(code); }

void ResetJobFolder() {
  sv::RemoveFolderTree(Folder());
  CreateDirectoryW(sv::Wide(TestProgramFolder() + "SVData").c_str(), nullptr);
  CreateDirectoryW(sv::Wide(Folder()).c_str(), nullptr);
  DeleteFileW(sv::Wide(TestProgramFolder() + "PatchKeeper.upd").c_str());
  // A start frees whatever jobs an earlier test left in memory.
  SolvikaDNMStart();
  SolvikaDNMStop();
}

std::string JobText(uint32_t code) {
  std::string packed = ReadFileBytes(Folder() + Hex(code) + ".svdnm");
  if (packed.empty()) return "";
  sv::OwnedStr in(packed);
  return sv::TakeOut([&](SvStr* out) { zlibDecompress(out, in); });
}

void WriteJob(const svdnm::JobRecord& job) {
  sv::OwnedStr in(svdnm::BuildJobText(job));
  WriteFileBytes(Folder() + Hex(job.code) + ".svdnm", sv::TakeOut([&](SvStr* out) { zlibCompress(out, in); }));
}

std::vector<JobLine> Jobs() {
  std::string list = sv::TakeOut([](SvStr* out) { SVDNMImportJobsList(out); });
  std::vector<JobLine> jobs;
  size_t pos = 0;
  while (pos < list.size()) {
    size_t end = list.find('\n', pos);
    if (end == std::string::npos) end = list.size();
    std::vector<std::string> f;
    size_t a = pos;
    for (;;) {
      size_t tab = list.find('\t', a);
      if (tab == std::string::npos || tab > end) {
        f.push_back(list.substr(a, end - a));
        break;
      }
      f.push_back(list.substr(a, tab - a));
      a = tab + 1;
    }
    pos = end + 1;
    if (f.size() < 6) continue;
    JobLine j;
    j.code = (uint32_t)strtoul(f[0].c_str(), nullptr, 10);
    j.title = f[1];
    j.status = atoi(f[2].c_str());
    j.total = (uint32_t)strtoul(f[3].c_str(), nullptr, 10);
    j.done = (uint32_t)strtoul(f[4].c_str(), nullptr, 10);
    j.speed = f[5];
    jobs.push_back(j);
  }
  return jobs;
}

JobLine Job(uint32_t code) {
  for (const JobLine& j : Jobs())
    if (j.code == code) return j;
  return JobLine();
}

bool WaitFor(bool (*condition)(void*), void* user, DWORD ms) {
  DWORD start = GetTickCount();
  while (!condition(user)) {
    if (GetTickCount() - start > ms) return false;
    Sleep(20);
  }
  return true;
}

bool WaitStatus(uint32_t code, int status, DWORD ms) {
  DWORD start = GetTickCount();
  while (Job(code).status != status) {
    if (GetTickCount() - start > ms) return false;
    Sleep(20);
  }
  return true;
}

std::string ErrorLog() {
  return sv::TakeOut([](SvStr* out) { SVDNMGetErrorString(out); });
}

Params::Params(const std::string& host, const std::string& path, const std::string& files,
               const std::string& target) {
  p.Size = 48;
  p.Method = SVNET_GET;
  p.HostMode = SVNET_HOSTS_EXPLICIT;
  p.Resume = 1;
  p.Timeout = 20000;
  p.Host = sv::NewStr(host);
  p.Path = sv::NewStr(path);
  p.Files = sv::NewStr(files);
  p.LocalDir = sv::NewStr(target);
  p.Tag = sv::NewStr("test");
}

Params::~Params() {
  sv::Release(p.Host), sv::Release(p.Path), sv::Release(p.Files), sv::Release(p.LocalDir), sv::Release(p.Tag);
}

}  // namespace dnmtest
