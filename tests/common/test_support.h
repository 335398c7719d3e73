// Helpers shared by the test programs: scratch folders, whole files and child
// processes. String bridges are those of svstring.h (sv::Take, sv::TakeOut,
// sv::OwnedStr).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "sv_abi.h"
#include "svstring.h"

// Calls fn(&out) with a fresh out variable and returns what it received,
// releasing it; the same as sv::TakeOut, under the name older tests use.
template <class F>
std::string TakeStr(F fn) {
  return sv::TakeOut(fn);
}

// A new empty folder under the temporary folder, removed with its content
// when the object goes out of scope. The path is Windows-1251 and ends in "\".
class ScratchDir {
 public:
  explicit ScratchDir(const std::string& tag = "t");
  ~ScratchDir();
  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + name; }

 private:
  std::string path_;
};

// Whole-file helpers with Windows-1251 names.
std::string ReadFileBytes(const std::string& path);
bool WriteFileBytes(const std::string& path, const std::string& bytes);

// ---- child processes ----
//
// Some behaviour depends on the program folder (the folder of the running
// executable) or on the command line, both fixed for a process. Such tests
// copy the test program with its libraries into a scratch folder and run a
// test of it there as a child. Child-only tests skip themselves unless they
// run as such a child (InChild()).

struct ChildResult {
  DWORD exitCode = (DWORD)-1;
  std::string output;  // standard output and standard error together
};

bool InChild();

// Copies the running test program and the named files of its folder into
// `folder`; returns the copy's full path.
std::string CopyTestProgram(const std::string& folder, const std::vector<std::string>& libraries);

// Runs `exe` with `args` in `folder` as a child test (InChild() true there),
// collecting its output; gives up after `timeoutMs`.
ChildResult RunChild(const std::string& exe, const std::string& args, const std::string& folder,
                     DWORD timeoutMs = 60000);

// The folder of the running test program, ending in "\".
std::string TestProgramFolder();
