// Installing a transferred job on a thread of its own: its files are moved
// into the target folder, archives unpacked on the way when the job asks for
// it, or everything packed into one update package (hex name + ".uiu") that
// is applied at the next program start.
#include <windows.h>

#include "SolvikaDNM.h"
#include "SolvikaPU.h"
#include "SolvikaUtils.h"
#include "file_io.h"
#include "job/job_store.h"
#include "manager.h"
#include "wide.h"

namespace svdnm {

namespace {

bool IsPackage(const std::string& name) {
  if (name.size() < 4) return false;
  std::string tail = name.substr(name.size() - 4);
  return _stricmp(tail.c_str(), ".UIU") == 0 || _stricmp(tail.c_str(), ".UIP") == 0;
}

class Installer {
 public:
  explicit Installer(InstallRecord& r) : r_(r), job_(*r.job) {}

  void Run() {
    const std::string hex = r_.codeHex;
    const std::string download = JobFolder() + hex + "\\";
    const std::string unpack = JobFolder() + hex + "-1\\";
    std::string target = job_.download.localDir;
    if (!target.empty() && target[0] == ':') target = sv::ProgramFolder() + target.substr(1);
    if (!target.empty() && target.back() != '\\' && target.back() != '/') target += '\\';
    r_.targetDir = target;
    if (target.empty() || !sv::CreateFolderTree(target)) return Fail(u8"Нет доступа для инсталяции!");

    if (job_.download.autoExtract) {
      r_.sourceDir = unpack;
      if (!sv::CreateFolderTree(unpack)) return Fail(u8"Нет доступа для инсталяции!");
      for (const std::string& zip : sv::FindNames(download + "*.zip", sv::EntryKind::kFiles)) {
        if (r_.cancel) return;
        if (UnZipFiles((download + zip).c_str(), unpack.c_str(), "*.*") != SVZIP_OK)
          return Fail(u8"Невозможно разархивировать!");
        SVDeleteFile((download + zip).c_str());
      }
      if (job_.iType != 1) {
        if (!MoveFiles(unpack, target, false)) return Fail(u8"Невозможно скопировать файл!");
      } else {
        if (!MoveFiles(download, unpack, true)) return Fail(u8"Невозможно скопировать файл!");
        std::string package = download + hex + ".uiu";
        if (ZipFiles(package.c_str(), (unpack + "*.*").c_str()) != SVZIP_OK)
          return Fail(u8"Невозможно скопировать файл!");
        sv::RemoveFolderTree(unpack);
      }
    }
    r_.sourceDir = download;
    if (!MoveFiles(download, target, false)) return Fail(u8"Невозможно скопировать файл!");
    DeleteJobFiles(hex, true);
    sv::Lock hold(ManagerLock());
    if (job_.status == SVDNM_INSTALLING) job_.status = SVDNM_INSTALLED;
  }

 private:
  // Sets SVDNM_INSTALL_FAILED with the message, unless the manager asked us
  // to give up.
  void Fail(const char* utf8) {
    if (r_.cancel) return;
    sv::Lock hold(ManagerLock());
    AddError(*r_.owner, sv::Ru(utf8));
    if (job_.status == SVDNM_INSTALLING) job_.status = SVDNM_INSTALL_FAILED;
  }

  // Moves the plain files of `from` into `to`, replacing files of the same
  // name. Stops with false at the first file that cannot go, or on Cancel.
  bool MoveFiles(const std::string& from, const std::string& to, bool skipPackages) {
    for (const std::string& name : sv::FindNames(from + "*.*", sv::EntryKind::kFiles)) {
      if (r_.cancel) return false;
      if (skipPackages && IsPackage(name)) continue;
      std::string dest = to + name;
      if (sv::FileExists(dest) && !SVDeleteFile(dest.c_str())) return false;
      if (!SVMoveFile((from + name).c_str(), dest.c_str())) return false;
    }
    return true;
  }

  InstallRecord& r_;
  JobRecord& job_;
};

DWORD WINAPI InstallThread(void* record) {
  try {
    Installer(*(InstallRecord*)record).Run();
  } catch (...) {
    // The tick sees the job still installing and reports the failure.
  }
  return 0;
}

}  // namespace

void StartInstall(Manager& m, JobRecord* job) {
  auto* r = new InstallRecord();
  r->job = job;
  r->owner = &m;
  r->codeHex = HexName(job->code);
  job->status = SVDNM_INSTALLING;
  m.install = r;
  r->thread = sv::Thread::Start(InstallThread, r);
}

void CheckInstall(Manager& m) {
  InstallRecord* r = m.install;
  if (r->thread && !r->thread.Wait(0)) return;
  if (r->job->status == SVDNM_INSTALLING) {
    r->job->status = SVDNM_INSTALL_FAILED;
    AddError(m, sv::Ru(u8"Внутрення ошибка инсталяции!"));
  }
  FinishInstall(m);
}

void FinishInstall(Manager& m) {
  InstallRecord* r = m.install;
  r->cancel = true;
  if (r->thread) r->thread.Wait(INFINITE);
  sv::Lock hold(ManagerLock());
  JobRecord& job = *r->job;
  if (job.status == SVDNM_INSTALLING) job.status = SVDNM_TRANSFERRED;
  CleanupFinished(m);
  Notify(job);
  SaveJob(job);
  m.install = nullptr;
  delete r;
}

}  // namespace svdnm
