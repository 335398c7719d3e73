// The scratch folders of unpacking: program folder + "SVData\SVUNZ\", one
// subfolder per process, named by its process id.
#pragma once

#include <string>

namespace svpu {

// "<program folder>SVData\SVUNZ\".
std::string ScratchRoot();

// Removes from the scratch root whatever no running process of this program
// can be using: loose files, and folders whose name is not the id of such a
// process (the own folder is kept). Call under the unpack lock.
void RemoveStaleScratch();

// Whether `pid` is a running process whose executable lies in the program
// folder, as every process sharing this scratch root does (the program, its
// launcher and updater, test programs). A process that exists but cannot be
// inspected counts as running, so its folder is never taken away.
bool IsProgramProcess(unsigned long pid);

// The own scratch folder of this process: created by Create(), emptied and
// removed again when the owner goes, on every way out of an unpack.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // True when the folder exists afterwards.
  bool Create();
  const std::string& Path() const { return path_; }

 private:
  std::string path_;  // ends in "\"
  bool created_ = false;
};

}  // namespace svpu
