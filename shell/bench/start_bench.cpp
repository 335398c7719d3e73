// Times a program from its start to its main window on screen, alternating
// the program under test with a reference program, and prints the medians.
//
//   start_bench.exe <rounds> <exe> <args> <folder> <class>  <ref exe> <ref class> [reloads]
//
// The program under test is ended with the shell's exit command, the
// reference with WM_CLOSE. With `reloads`, each start of the program is also
// asked that many times to reload its plugins (WM_SHELL_COMMAND 0, sent, so
// the time is that of the whole reload), and the median reload is printed.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "SolvikaMain.h"

namespace {

constexpr DWORD kWindowWaitMs = 60000;
constexpr DWORD kExitWaitMs = 30000;

struct Search {
  DWORD pid;
  const wchar_t* windowClass;
  HWND found;
};

BOOL CALLBACK MatchVisible(HWND window, LPARAM param) {
  auto* s = reinterpret_cast<Search*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  wchar_t name[128] = {};
  GetClassNameW(window, name, 128);
  if (pid == s->pid && lstrcmpW(name, s->windowClass) == 0 && IsWindowVisible(window)) {
    s->found = window;
    return FALSE;
  }
  return TRUE;
}

double Now() {
  LARGE_INTEGER f, c;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&c);
  return 1000.0 * c.QuadPart / f.QuadPart;
}

// Milliseconds from CreateProcess to the visible window; negative on failure.
double TimeOneStart(const std::wstring& command, const std::wstring& folder, const wchar_t* windowClass,
                    bool shellExit, int reloads = 0, std::vector<double>* reloadTimes = nullptr) {
  std::wstring line = command;
  STARTUPINFOW si = {};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi = {};
  double start = Now();
  if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                      folder.empty() ? nullptr : folder.c_str(), &si, &pi))
    return -1;
  Search s = {pi.dwProcessId, windowClass, nullptr};
  double elapsed = -1;
  while (Now() - start < kWindowWaitMs) {
    EnumWindows(MatchVisible, reinterpret_cast<LPARAM>(&s));
    if (s.found) {
      elapsed = Now() - start;
      break;
    }
    Sleep(1);
  }
  if (s.found && reloads > 0) {
    Sleep(1000);  // the delayed start step has run
    for (int i = 0; i < reloads; ++i) {
      DWORD_PTR ignored = 0;
      double before = Now();
      SendMessageTimeoutW(s.found, WM_SHELL_COMMAND, SVSHELL_RELOAD_PLUGINS, 0, SMTO_NORMAL, kExitWaitMs, &ignored);
      if (reloadTimes) reloadTimes->push_back(Now() - before);
    }
  }
  if (s.found) {
    if (shellExit) {
      DWORD_PTR ignored = 0;
      SendMessageTimeoutW(s.found, WM_SHELL_COMMAND, SVSHELL_EXIT, 0, SMTO_NORMAL, kExitWaitMs, &ignored);
    } else {
      PostMessageW(s.found, WM_CLOSE, 0, 0);
    }
  }
  if (WaitForSingleObject(pi.hProcess, kExitWaitMs) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return elapsed;
}

double Median(std::vector<double> v) {
  if (v.empty()) return -1;
  std::sort(v.begin(), v.end());
  return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 8) return 2;
  int rounds = _wtoi(argv[1]);
  std::wstring program = std::wstring(L"\"") + argv[2] + L"\" " + argv[3];
  std::wstring folder = argv[4];
  const wchar_t* programClass = argv[5];
  std::wstring reference = std::wstring(L"\"") + argv[6] + L"\"";
  const wchar_t* referenceClass = argv[7];
  int reloads = argc > 8 ? _wtoi(argv[8]) : 0;
  std::vector<double> ours, theirs, reloadTimes;
  for (int i = 0; i < rounds; ++i) {
    double a = TimeOneStart(program, folder, programClass, true, reloads, &reloadTimes);
    double b = TimeOneStart(reference, L"", referenceClass, false);
    if (a >= 0) ours.push_back(a);
    if (b >= 0) theirs.push_back(b);
  }
  printf("PROGRAM_MS=%.1f\nREFERENCE_MS=%.1f\nROUNDS=%d/%d\n", Median(ours), Median(theirs), (int)ours.size(),
         (int)theirs.size());
  if (reloads > 0) printf("RELOAD_MS=%.1f\nRELOADS=%d\n", Median(reloadTimes), (int)reloadTimes.size());
  return ours.empty() ? 1 : 0;
}
