// A program of the system started by a test and left running while the test
// drives its windows: its output goes to a file the test reads at any time,
// and it is ended however the test ends.
#pragma once

#include <windows.h>

#include <string>

#include "win_handles.h"

namespace uikit {

class RunningProcess {
 public:
  RunningProcess() = default;
  RunningProcess(const RunningProcess&) = delete;
  RunningProcess& operator=(const RunningProcess&) = delete;
  // Ends the process if it still runs.
  ~RunningProcess() { Kill(); }

  // Starts `exe` with `args` in `folder`; standard output and error go to
  // `outputFile` (none when empty).
  bool Start(const std::string& exe, const std::string& args, const std::string& folder,
             const std::string& outputFile = std::string());
  DWORD Id() const { return id_; }
  bool Running() const;
  // Waits for the end; false when it still runs after `ms`.
  bool WaitExit(DWORD ms);
  DWORD ExitCode() const;
  void Kill();

 private:
  sv::Handle process_;
  DWORD id_ = 0;
};

}  // namespace uikit
