// The shell run as a process from a scratch program folder, for the tests
// that drive it from outside as the launcher, the plugins and a person do.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "file_io.h"
#include "process_kit.h"
#include "test_support.h"
#include "ui_kit.h"
#include "wide.h"
#include "SolvikaMain.h"

namespace shelltest {


constexpr DWORD kStartWaitMs = 60000;  // a cold start under emulation is slow
constexpr DWORD kStepWaitMs = 20000;
constexpr DWORD kPollMs = 100;
// Nothing listens there: the network engine fails its requests at once.
constexpr char kArguments[] = "-tnnetopendebugconsole -tnnetdefaulthost:127.0.0.1:1";
inline const char* const kProgramFiles[] = {"SolvikaMain.dll", "SolvikaUtils.dll", "SolvikaNet.dll",
                                            "SolvikaDNM.dll",  "SolvikaPU.dll",    "TovrinLF.dll"};

template <class Condition>
inline bool WaitFor(Condition condition, DWORD ms = kStepWaitMs) {
  for (DWORD waited = 0; waited < ms; waited += kPollMs) {
    if (condition()) return true;
    Sleep(kPollMs);
  }
  return condition();
}

// Each of `lines` appears in `log`, in this order.
inline void ExpectInOrder(const std::string& log, const std::vector<std::string>& lines) {
  size_t at = 0;
  for (const std::string& line : lines) {
    size_t found = log.find(line, at);
    EXPECT_NE(std::string::npos, found) << "missing or out of order: " << line << "\n--- log:\n" << log;
    if (found == std::string::npos) return;
    at = found + line.size();
  }
}

class ShellRun : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string from = TestProgramFolder();
    CopyFileW(sv::Wide(from + "shell_start_host.exe").c_str(), sv::Wide(Folder() + "Solvika.exe").c_str(), FALSE);
    for (const char* name : kProgramFiles)
      CopyFileW(sv::Wide(from + name).c_str(), sv::Wide(Folder() + name).c_str(), FALSE);
  }
  void TearDown() override {
    if (shell_.Running()) {
      uikit::CloseLeftovers(shell_.Id(), L"#32770");
      shell_.Kill();
    }
  }

  const std::string& Folder() const { return scratch_.Path(); }
  // Copies files of the test folder into the program folder, under new names
  // where given as "from=to".
  void Install(const std::vector<std::string>& files) {
    for (const std::string& file : files) {
      size_t eq = file.find('=');
      std::string from = file.substr(0, eq), to = eq == std::string::npos ? file : file.substr(eq + 1);
      CopyFileW(sv::Wide(TestProgramFolder() + from).c_str(), sv::Wide(Folder() + to).c_str(), FALSE);
    }
  }
  void InstallStubPluginHost() {
    CopyFileW(sv::Wide(TestProgramFolder() + "StubPluginHost.dll").c_str(),
              sv::Wide(Folder() + "TovrinPlugins.dll").c_str(), FALSE);
  }
  void Start() { ASSERT_TRUE(shell_.Start(Folder() + "Solvika.exe", kArguments, Folder(), Folder() + "log.txt")); }
  std::string Log() const { return ReadFileBytes(Folder() + "log.txt"); }

  HWND WaitMainWindow(const std::string& caption) {
    return uikit::WaitTopWindow(L"TSolvikaMainForm", caption.c_str(), shell_.Id(), kStartWaitMs);
  }
  HWND WaitPopupWindow() {
    HWND popup = nullptr;
    WaitFor([&] { return (popup = uikit::FindTopWindow(L"TPopupForm", nullptr, shell_.Id())) != nullptr; });
    return popup;
  }
  // The exit command as the launcher gives it; the process must then end.
  void ExitAndWait(HWND main) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(main, WM_SHELL_COMMAND, SVSHELL_EXIT, 0, SMTO_NORMAL, kStepWaitMs, &ignored);
    ASSERT_TRUE(shell_.WaitExit(kStepWaitMs)) << Log();
    EXPECT_EQ(0u, shell_.ExitCode());
  }

  ScratchDir scratch_{"shell"};
  uikit::RunningProcess shell_;
};

}  // namespace shelltest
