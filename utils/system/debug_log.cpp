// The process's debug log. It is off unless the program was started with the
// switch "-tnnetopendebugconsole"; then every DebugWrite puts one line
// "[hh:mm:ss]    text" on the console. When the process already has a
// standard output (started from a console or with its output redirected) the
// lines go there; otherwise a console window is opened for them.
#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <string>

#include "guard.h"
#include "load_steps.h"
#include "wide.h"
#include "win_handles.h"
#include "SolvikaUtils.h"

namespace utils {
namespace {

// How long the last line stays readable before the console goes.
const DWORD kLastLineShownMs = 1000;

struct DebugConsole {
  bool on = false;
  HANDLE out = INVALID_HANDLE_VALUE;
  sv::Handle ownedOut;  // the console opened for the log, when it opened one
  std::unique_ptr<sv::CriticalSection> lock;  // re-entrant; exists only while `on`
};

DebugConsole& Console() {
  static DebugConsole console;
  return console;
}

bool AskedOnCommandLine() {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv) return false;
  bool asked = false;
  for (int i = 1; i < argc && !asked; ++i) asked = wcscmp(argv[i], L"-tnnetopendebugconsole") == 0;
  LocalFree(argv);
  return asked;
}

bool UsableOutput(HANDLE h) {
  return h && h != INVALID_HANDLE_VALUE && GetFileType(h) != FILE_TYPE_UNKNOWN;
}

void WriteRaw(const std::string& bytes) {
  DWORD put = 0;
  WriteFile(Console().out, bytes.data(), (DWORD)bytes.size(), &put, nullptr);
}

// Console text is shown in the OEM code page; the system's text is 1251.
std::string ToOem(const char* text) {
  std::string_view ansi = text ? std::string_view(text) : std::string_view();
  if (ansi.empty()) return std::string();
  std::wstring wide = sv::Wide(ansi);
  int n = WideCharToMultiByte(CP_OEMCP, 0, wide.data(), (int)wide.size(), nullptr, 0, nullptr, nullptr);
  if (n <= 0) return std::string(ansi);
  std::string oem((size_t)n, '\0');
  WideCharToMultiByte(CP_OEMCP, 0, wide.data(), (int)wide.size(), &oem[0], n, nullptr, nullptr);
  return oem;
}

}  // namespace

void OpenDebugConsoleIfAsked() {
  if (!AskedOnCommandLine()) return;
  DebugConsole& c = Console();
  HANDLE std = GetStdHandle(STD_OUTPUT_HANDLE);
  if (UsableOutput(std)) {
    c.out = std;
  } else {
    AllocConsole();
    c.ownedOut.Reset(CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 nullptr, OPEN_EXISTING, 0, nullptr));
    c.out = c.ownedOut.Valid() ? c.ownedOut.Get() : INVALID_HANDLE_VALUE;
  }
  c.lock.reset(new sv::CriticalSection);
  c.on = true;
}

void CloseDebugConsole() {
  DebugConsole& c = Console();
  if (!c.on) return;
  c.on = false;
  c.lock.reset();
  WriteRaw("EXIT...\r\n");
  Sleep(kLastLineShownMs);
  c.ownedOut.Reset();
  c.out = INVALID_HANDLE_VALUE;
}

}  // namespace utils

using namespace utils;

SVU_API void SVAPI DebugWrite(const char* text) {
  sv::GuardVoid([&] {
    DebugConsole& c = Console();
    if (!c.on) return;
    SYSTEMTIME t;
    GetLocalTime(&t);
    char stamp[32];
    wsprintfA(stamp, "[%2d:%2d:%2d]    ", t.wHour, t.wMinute, t.wSecond);
    std::string line = stamp + ToOem(text) + "\r\n";
    sv::Lock hold(*c.lock);
    WriteRaw(line);
  });
}

SVU_API void SVAPI DebugCSEnter(void) {
  if (Console().on) Console().lock->Enter();
}

SVU_API void SVAPI DebugCSLeave(void) {
  if (Console().on) Console().lock->Leave();
}
