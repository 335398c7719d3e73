// The launchers run as processes, as the user and the system start them, in
// a program folder of each test's own (with a Cyrillic name) holding copies
// of Solvika.exe, Tovrin.exe, the libraries they link and stand-ins of the
// shell and the update wizard. The stand-ins log what happens to them into
// the folder; the test reads the log, finds windows and answers message boxes.
//
// Every process a test starts runs in a job object, so that the copies the
// launchers start in turn are ended with it when the test is over.
#include <gtest/gtest.h>
#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <string>
#include <vector>

#include "file_io.h"
#include "test_support.h"
#include "ui_kit.h"
#include "wide.h"
#include "win_handles.h"

namespace {

// A process start under the emulated Wine may take a few seconds; close-all
// alone may take five when the shell ignores the exit command.
constexpr DWORD kStartWaitMs = 30000;
constexpr DWORD kEndWaitMs = 30000;
constexpr DWORD kPollMs = 50;
constexpr DWORD kFolderRetryMs = 250;
constexpr int kFolderRetries = 20;

const char kLogFile[] = "launcher_log.txt";
const char kIgnoreExitMarker[] = "ignore_exit.txt";
const char kHoldUpdateMarker[] = "update_hold.txt";
const char kHangMarker[] = "hang.txt";
// The window system counts a program as not answering once it has looked at
// no message for five seconds.
constexpr DWORD kHungAfterMs = 5500;
const char kStubFolder[] = "launcher_stubs\\";

constexpr wchar_t kMainFormClass[] = L"TSolvikaMainForm";
constexpr wchar_t kApplicationClass[] = L"TApplication";
constexpr wchar_t kMessageBoxClass[] = L"#32770";

std::string ShellLibraryMissing() {
  return sv::Ru(u8"Не найдена библиотека: SolvikaMain.dll\rПрограмма не может быть запущена!\rОбновить программу?");
}
std::string ShellStartMissing() {
  return sv::Ru(
      u8"Не найдена точка входу в библиотеку: SolvikaMain.dll\rПрограмма не может быть запущена!\rОбновить программу?");
}
std::string WizardLibraryMissing() {
  return sv::Ru(
      u8"Не найдена библиотека: SolvikaUpdate.dll\rПрограмма не может обновиться!\rПереустановите программу!");
}
std::string WizardStartMissing() {
  return sv::Ru(
      u8"Не найдена точка входу в библиотеку: SolvikaUpdate.dll\rПрограмма не может обновиться!\rПереустановите "
      u8"программу!");
}

// A process the test started.
class Process {
 public:
  Process() = default;
  Process(HANDLE handle, DWORD pid) : handle_(handle), pid_(pid) {}
  DWORD Pid() const { return pid_; }
  bool Started() const { return handle_.Valid(); }
  bool Ended(DWORD wait_ms = kEndWaitMs) const {
    return handle_ && WaitForSingleObject(handle_.Get(), wait_ms) == WAIT_OBJECT_0;
  }
  bool Running() const { return handle_ && WaitForSingleObject(handle_.Get(), 0) == WAIT_TIMEOUT; }
  DWORD ExitCode() const {
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(handle_.Get(), &code);
    return code;
  }

 private:
  sv::Handle handle_;
  DWORD pid_ = 0;
};

BOOL CALLBACK EndStrayWindowProcess(HWND window, LPARAM) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid == GetCurrentProcessId()) return TRUE;
  std::wstring window_class = uikit::ClassOf(window);
  if (window_class != kMainFormClass && window_class != kApplicationClass && window_class != kMessageBoxClass)
    return TRUE;
  sv::Handle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid));
  if (process && TerminateProcess(process.Get(), 1)) WaitForSingleObject(process.Get(), 5000);
  return TRUE;
}

class LauncherRun : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    folder_ = TestProgramFolder() + "launcher_run\\" + sv::Ru(u8"Программа ") + name + "\\";
    sv::RemoveFolderTree(folder_);
    ASSERT_TRUE(sv::CreateFolderTree(folder_));
    // Wine starts its desktop process for the first program that needs the
    // desktop; it must not be a launcher in the job, which ends with the test.
    GetDesktopWindow();
    job_.Reset(CreateJobObjectW(nullptr, nullptr));
    ASSERT_TRUE(job_.Valid());
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(job_.Get(), JobObjectExtendedLimitInformation, &limits, sizeof limits);
    Install("Solvika.exe");
    Install("SolvikaPU.dll");
    Install("SolvikaUtils.dll");
  }

  void TearDown() override {
    TerminateJobObject(job_.Get(), 1);
    job_.Reset();
    // Whatever left the job anyway: any window of the kinds the tests make.
    EnumWindows(EndStrayWindowProcess, 0);
    for (int i = 0; i < kFolderRetries && !sv::RemoveFolderTree(folder_); ++i) Sleep(kFolderRetryMs);
  }

  // Copies a file of the test folder (or of the stand-ins' folder) into the
  // program folder, under another name if given.
  void Install(const std::string& file, const std::string& as = std::string()) {
    std::string target = folder_ + (as.empty() ? file : as);
    ASSERT_TRUE(CopyFileW(sv::Wide(TestProgramFolder() + file).c_str(), sv::Wide(target).c_str(), FALSE)) << file;
  }
  void InstallStub(const std::string& file, const std::string& as) { Install(kStubFolder + file, as); }
  void InstallShell() { InstallStub("launcher_stub_shell.dll", "SolvikaMain.dll"); }
  void InstallWizard() { InstallStub("launcher_stub_update.dll", "SolvikaUpdate.dll"); }

  void Mark(const char* marker) { ASSERT_TRUE(WriteFileBytes(folder_ + marker, "1")); }
  void Unmark(const char* marker) { DeleteFileW(sv::Wide(folder_ + marker).c_str()); }

  // Starts a program of the folder with `args`; the folder is its current
  // one too, so that nothing is found outside it.
  Process Start(const std::string& args, const std::string& program = "Solvika.exe") {
    std::wstring command = L"\"" + sv::Wide(folder_ + program) + L"\"";
    if (!args.empty()) command += L" " + sv::Wide(args);
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                        sv::Wide(folder_).c_str(), &si, &pi)) {
      ADD_FAILURE() << "cannot start " << program << " " << args;
      return Process();
    }
    // In the job before it runs, so that what it starts is in the job as well.
    AssignProcessToJobObject(job_.Get(), pi.hProcess);
    ResumeThread(pi.hThread);
    CloseHandle(pi.hThread);
    return Process(pi.hProcess, pi.dwProcessId);
  }

  // How many processes of the job have run so far: the test's own starts and
  // everything they started.
  DWORD ProcessesStarted() {
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info = {};
    QueryInformationJobObject(job_.Get(), JobObjectBasicAccountingInformation, &info, sizeof info, nullptr);
    return info.TotalProcesses;
  }
  DWORD ProcessesRunning() {
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info = {};
    QueryInformationJobObject(job_.Get(), JobObjectBasicAccountingInformation, &info, sizeof info, nullptr);
    return info.ActiveProcesses;
  }
  ::testing::AssertionResult WaitAllEnded(DWORD wait_ms = kEndWaitMs) {
    for (DWORD waited = 0; ProcessesRunning() != 0; waited += kPollMs) {
      if (waited >= wait_ms) return ::testing::AssertionFailure() << "still running: " << RunningInJob();
      Sleep(kPollMs);
    }
    return ::testing::AssertionSuccess();
  }
  // The processes of the job still running, with their program names.
  std::string RunningInJob() {
    struct {
      JOBOBJECT_BASIC_PROCESS_ID_LIST list;
      ULONG_PTR more[63];
    } ids = {};
    ids.list.NumberOfAssignedProcesses = 64;
    QueryInformationJobObject(job_.Get(), JobObjectBasicProcessIdList, &ids, sizeof ids, nullptr);
    std::string text;
    sv::Handle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    for (DWORD i = 0; i < ids.list.NumberOfProcessIdsInList; ++i) {
      DWORD pid = (DWORD)ids.list.ProcessIdList[i];
      text += std::to_string(pid);
      PROCESSENTRY32W entry = {};
      entry.dwSize = sizeof entry;
      for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more; more = Process32NextW(snapshot.Get(), &entry))
        if (entry.th32ProcessID == pid) text += " " + sv::Narrow(entry.szExeFile);
      text += "; ";
    }
    return text;
  }

  std::vector<std::string> Log() {
    std::vector<std::string> lines;
    std::string text = ReadFileBytes(folder_ + kLogFile);
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
      lines.push_back(text.substr(start, end - start));
    return lines;
  }
  int Count(const std::string& line) {
    std::vector<std::string> lines = Log();
    return (int)std::count(lines.begin(), lines.end(), line);
  }
  // Waits until the log holds `line` at least `times` times.
  bool WaitForLine(const std::string& line, int times = 1, DWORD wait_ms = kStartWaitMs) {
    for (DWORD waited = 0; Count(line) < times; waited += kPollMs) {
      if (waited >= wait_ms) return false;
      Sleep(kPollMs);
    }
    return true;
  }

  HWND WaitMainForm(const Process& owner) {
    return uikit::WaitTopWindow(kMainFormClass, nullptr, owner.Pid(), kStartWaitMs);
  }

  // Waits for a message box of any process (the one on screen before it
  // must be gone), checks its caption and text and answers it.
  void ExpectBoxAndAnswer(const std::string& text, int answer, DWORD pid = uikit::kAnyProcess) {
    uikit::MessageBoxSeen box = uikit::WaitMessageBox(pid, kStartWaitMs);
    ASSERT_NE(nullptr, box.window) << "no message box";
    EXPECT_EQ("Solvika", box.caption);
    EXPECT_EQ(text, box.text);
    EXPECT_EQ(nullptr, GetWindow(box.window, GW_OWNER)) << "the box has no owner window";
    bool yes_no = answer != IDOK;
    EXPECT_EQ(yes_no, GetDlgItem(box.window, IDYES) != nullptr);
    EXPECT_EQ(yes_no, GetDlgItem(box.window, IDNO) != nullptr);
    EXPECT_TRUE(uikit::Answer(box, answer));
    EXPECT_TRUE(uikit::WaitGone(box.window, kEndWaitMs));
  }

  std::string folder_;
  sv::Handle job_;
};

TEST_F(LauncherRun, PlainStartAppliesUpdatesAndStartsTheShellOnce) {
  InstallShell();
  // A pending delete list: the packing library applies it before the shell.
  ASSERT_TRUE(WriteFileBytes(folder_ + "stale.txt", "old"));
  ASSERT_TRUE(WriteFileBytes(folder_ + "old.dlt", "stale.txt\r\n"));
  Process first = Start("");
  HWND main_form = WaitMainForm(first);
  ASSERT_NE(nullptr, main_form);
  EXPECT_FALSE(sv::FileExists(folder_ + "stale.txt"));
  EXPECT_FALSE(sv::FileExists(folder_ + "old.dlt"));

  // A second plain start brings the running shell back and ends.
  Process second = Start("");
  EXPECT_TRUE(second.Ended());
  EXPECT_TRUE(WaitForLine("shell restored"));
  HWND application = uikit::FindTopWindow(kApplicationClass, "Solvika", first.Pid());
  EXPECT_TRUE(application && IsWindowVisible(application)) << "restored";

  // A first argument of another case is no switch, and a switch after the
  // first argument chooses nothing: another plain start.
  Process third = Start("-CloseAll -closeprev");
  EXPECT_TRUE(third.Ended());
  EXPECT_TRUE(first.Running());
  EXPECT_EQ(1, Count("shell started"));
  EXPECT_EQ(0, Count("shell exit command"));
}

TEST_F(LauncherRun, MultipleInstancesSwitchStartsASecondShell) {
  InstallShell();
  Process first = Start("");
  ASSERT_NE(nullptr, WaitMainForm(first));
  Process second = Start("-something -tnmultipleinstances");
  EXPECT_NE(nullptr, WaitMainForm(second));
  EXPECT_EQ(2, Count("shell started"));
  EXPECT_EQ(0, Count("shell restored"));
}

TEST_F(LauncherRun, CloseAllLetsTheShellExit) {
  InstallShell();
  Process shell = Start("");
  ASSERT_NE(nullptr, WaitMainForm(shell));
  Process closer = Start("-closeall");
  EXPECT_TRUE(closer.Ended());
  EXPECT_TRUE(shell.Ended());
  EXPECT_EQ(1, Count("shell exit command"));
  EXPECT_EQ(1, Count("shell ended")) << "the shell ended its run itself";
  EXPECT_TRUE(WaitAllEnded()) << "close-all starts nothing";
  EXPECT_EQ(1, Count("shell started"));
}

TEST_F(LauncherRun, CloseAllTerminatesAShellThatIgnoresTheExitCommand) {
  InstallShell();
  Mark(kIgnoreExitMarker);
  Process shell = Start("");
  ASSERT_NE(nullptr, WaitMainForm(shell));
  Process closer = Start("-closeall");
  EXPECT_TRUE(closer.Ended());
  EXPECT_TRUE(shell.Ended());
  EXPECT_EQ(0u, shell.ExitCode());
  EXPECT_EQ(1, Count("shell exit command"));
  EXPECT_EQ(0, Count("shell ended")) << "terminated in its run";
}

TEST_F(LauncherRun, CloseAllDoesNotWaitForAShellThatStoppedAnswering) {
  InstallShell();
  Mark(kHangMarker);
  Process shell = Start("");
  ASSERT_NE(nullptr, WaitMainForm(shell));
  ASSERT_TRUE(WaitForLine("shell hung"));
  Sleep(kHungAfterMs);
  Process closer = Start("-closeall");
  EXPECT_TRUE(closer.Ended()) << "close-all waits for no hung window";
  EXPECT_TRUE(shell.Ended());
  EXPECT_EQ(0, Count("shell exit command"));
}

TEST_F(LauncherRun, RunningUpdateWizardComesFirstAndCloseAllEndsEveryCopy) {
  InstallShell();
  InstallWizard();
  Mark(kHoldUpdateMarker);
  Mark(kIgnoreExitMarker);
  Process update = Start("-update");
  ASSERT_TRUE(WaitForLine("update started"));
  Process shell = Start("-tnmultipleinstances");
  ASSERT_NE(nullptr, WaitMainForm(shell));

  // With a wizard and a shell running, the wizard is the copy brought back.
  Process plain = Start("");
  EXPECT_TRUE(plain.Ended());
  EXPECT_TRUE(WaitForLine("update restored"));
  EXPECT_EQ(0, Count("shell restored"));
  EXPECT_EQ(1, Count("shell started"));

  // The wizard's application window title begins with "Solvika" as well:
  // close-all terminates both (the shell ignores the exit command), and the
  // update run ends with its wizard, so it restarts nothing.
  Process closer = Start("-closeall");
  EXPECT_TRUE(closer.Ended());
  EXPECT_TRUE(update.Ended());
  EXPECT_TRUE(shell.Ended());
  EXPECT_TRUE(WaitAllEnded());
  EXPECT_EQ(0, Count("update ended"));
  EXPECT_EQ(0, Count("shell ended"));
  EXPECT_EQ(1, Count("shell started"));
}

TEST_F(LauncherRun, OlderGenerationProgramCountsAsARunningCopy) {
  InstallShell();
  InstallStub("launcher_stub_older.exe", "Tovrin.exe");
  Process older = Start("", "Tovrin.exe");
  ASSERT_TRUE(WaitForLine("older started"));
  Process plain = Start("");
  EXPECT_TRUE(plain.Ended());
  EXPECT_TRUE(WaitForLine("older restored"));
  EXPECT_EQ(0, Count("shell started"));

  Process closer = Start("-closeall");
  EXPECT_TRUE(closer.Ended());
  EXPECT_TRUE(older.Ended());
  EXPECT_EQ(0, Count("older ended")) << "terminated";
}

TEST_F(LauncherRun, CloseAndStartReplacesTheRunningShell) {
  InstallShell();
  Process old_shell = Start("");
  ASSERT_NE(nullptr, WaitMainForm(old_shell));
  Process restart = Start("-closeprev");
  EXPECT_TRUE(old_shell.Ended());
  EXPECT_NE(nullptr, WaitMainForm(restart)) << "the restarting copy runs the new shell itself";
  std::vector<std::string> expected = {"shell started", "shell exit command", "shell ended", "shell started"};
  EXPECT_EQ(expected, Log());
  EXPECT_EQ(2u, ProcessesStarted());
}

TEST_F(LauncherRun, UpdateRunClosesTheShellRunsTheWizardAndRestartsTheShell) {
  InstallShell();
  InstallWizard();
  Process shell = Start("");
  ASSERT_NE(nullptr, WaitMainForm(shell));
  Process update = Start("-update");
  EXPECT_TRUE(update.Ended());
  EXPECT_TRUE(shell.Ended());
  // The restart ("-closeprev") brings up a new shell.
  ASSERT_TRUE(WaitForLine("shell started", 2));
  HWND restarted = uikit::WaitTopWindow(kMainFormClass, nullptr, uikit::kAnyProcess, kStartWaitMs);
  ASSERT_NE(nullptr, restarted);
  DWORD restarted_pid = 0;
  GetWindowThreadProcessId(restarted, &restarted_pid);
  EXPECT_NE(shell.Pid(), restarted_pid);
  EXPECT_EQ(3u, ProcessesStarted()) << "the shell, the update run, the restart";
  std::vector<std::string> expected = {"shell started",  "shell exit command", "shell ended",
                                       "update started", "update ended",       "shell started"};
  EXPECT_EQ(expected, Log());
}

TEST_F(LauncherRun, MissingShellAnsweredNoEndsTheLauncher) {
  InstallWizard();
  Process run = Start("");
  ExpectBoxAndAnswer(ShellLibraryMissing(), IDNO, run.Pid());
  EXPECT_TRUE(run.Ended());
  EXPECT_EQ(1u, ProcessesStarted()) << "no update run";
  EXPECT_TRUE(Log().empty());
}

TEST_F(LauncherRun, MissingShellAnsweredYesRunsAnUpdateAndRestarts) {
  InstallWizard();
  Process run = Start("");
  ExpectBoxAndAnswer(ShellLibraryMissing(), IDYES, run.Pid());
  EXPECT_TRUE(run.Ended());
  // The update run, then its restart, which again finds no shell.
  EXPECT_TRUE(WaitForLine("update ended"));
  ExpectBoxAndAnswer(ShellLibraryMissing(), IDNO);
  EXPECT_TRUE(WaitAllEnded());
  EXPECT_EQ(3u, ProcessesStarted());
  std::vector<std::string> expected = {"update started", "update ended"};
  EXPECT_EQ(expected, Log());
}

TEST_F(LauncherRun, MissingUpdateWizardIsToldAndTheProgramStillRestarts) {
  Process run = Start("-update");
  ExpectBoxAndAnswer(WizardLibraryMissing(), IDOK, run.Pid());
  EXPECT_TRUE(run.Ended());
  ExpectBoxAndAnswer(ShellLibraryMissing(), IDNO);
  EXPECT_TRUE(WaitAllEnded());
  EXPECT_EQ(2u, ProcessesStarted());
}

TEST_F(LauncherRun, MissingStartFunctionsAreTold) {
  InstallStub("launcher_stub_no_start.dll", "SolvikaMain.dll");
  InstallStub("launcher_stub_no_start.dll", "SolvikaUpdate.dll");
  Process run = Start("");
  ExpectBoxAndAnswer(ShellStartMissing(), IDNO, run.Pid());
  EXPECT_TRUE(run.Ended());

  Process update = Start("-update");
  ExpectBoxAndAnswer(WizardStartMissing(), IDOK, update.Pid());
  EXPECT_TRUE(update.Ended());
  ExpectBoxAndAnswer(ShellStartMissing(), IDNO);
  EXPECT_TRUE(WaitAllEnded());
}

TEST_F(LauncherRun, LegacyLauncherForwardsItsArgumentsToSolvikaExeOfItsFolder) {
  Install("Tovrin.exe");
  // A stand-in Solvika.exe that logs the arguments it gets.
  InstallStub("launcher_stub_args.exe", "Solvika.exe");
  struct Case {
    std::string args, logged;
  };
  const Case cases[] = {
      {"a b", "args:a|b"},
      {"", "args:"},
      // Quotes are not given back: an argument with a space arrives split.
      {"\"x y\" -z", "args:x|y|-z"},
      {sv::Ru(u8"Привет -closeall"), sv::Ru(u8"args:Привет|-closeall")},
  };
  for (const Case& c : cases) {
    Process legacy = Start(c.args, "Tovrin.exe");
    EXPECT_TRUE(legacy.Ended());
    EXPECT_TRUE(WaitForLine(c.logged)) << c.args;
  }
  std::vector<std::string> logged;
  for (const Case& c : cases) logged.push_back(c.logged);
  EXPECT_EQ(logged, Log()) << "one start of Solvika.exe per run";
}

TEST(LauncherExports, GetModuleVersionIsTen) {
  sv::Module launcher(LoadLibraryW(sv::Wide(TestProgramFolder() + "Solvika.exe").c_str()));
  ASSERT_TRUE(launcher.Valid());
  using VersionFunction = int32_t(__stdcall*)();
  auto version = reinterpret_cast<VersionFunction>(GetProcAddress(launcher.Get(), "GetModuleVersion"));
  ASSERT_NE(nullptr, version);
  EXPECT_EQ(10, version());
}

}  // namespace
