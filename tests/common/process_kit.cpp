#include "process_kit.h"

#include "wide.h"

namespace uikit {

bool RunningProcess::Start(const std::string& exe, const std::string& args, const std::string& folder,
                           const std::string& outputFile) {
  Kill();
  SECURITY_ATTRIBUTES inheritable = {sizeof(inheritable), nullptr, TRUE};
  sv::Handle output;
  if (!outputFile.empty()) {
    output.Reset(CreateFileW(sv::Wide(outputFile).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             &inheritable, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  }
  STARTUPINFOW si = {};
  si.cb = sizeof(si);
  if (output) {
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = output.Get();
    si.hStdError = output.Get();
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  }
  std::wstring command = L"\"" + sv::Wide(exe) + L"\" " + sv::Wide(args);
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, output ? TRUE : FALSE, 0, nullptr,
                      sv::Wide(folder).c_str(), &si, &pi)) {
    return false;
  }
  CloseHandle(pi.hThread);
  process_.Reset(pi.hProcess);
  id_ = pi.dwProcessId;
  return true;
}

bool RunningProcess::Running() const {
  return process_ && WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT;
}

bool RunningProcess::WaitExit(DWORD ms) {
  return !process_ || WaitForSingleObject(process_.Get(), ms) == WAIT_OBJECT_0;
}

DWORD RunningProcess::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  if (process_) GetExitCodeProcess(process_.Get(), &code);
  return code;
}

void RunningProcess::Kill() {
  if (Running()) {
    TerminateProcess(process_.Get(), 1);
    WaitForSingleObject(process_.Get(), 5000);
  }
  process_.Reset();
  id_ = 0;
}

}  // namespace uikit
