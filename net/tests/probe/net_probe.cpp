// Runs SolvikaNet with its main thread in a program folder of its own, for
// the tests of the server protocol.
//
//   net_probe run <version> <wait ms> [options and switches...]
//       starts the engine, waits until the main thread is idle (its first
//       status query done) or the time is up, prints the host lists and the
//       main script path, stops the engine. Options:
//         kick=N       the first N times the thread goes idle,
//                      ActiveteMainScript starts its next query at once
//         window       the engine gets a window of the probe as the
//                      application window (the probe pumps its messages)
//         answer=yes|no|none
//                      waits for the update question, prints its text,
//                      buttons and owner, and answers it; "none" leaves
//                      it open and stops the engine while it is shown
//   net_probe setproxy <server> <port> <user> <password>
//       stores proxy settings (and so writes TovrinNet.cfg)
//   net_probe hosts [switches...]
//       starts the engine without main thread (version 65535), prints the
//       host lists and the proxy settings, stops it
//   net_probe fetch <host> <path> [<files>]
//       starts the engine without main thread and runs one job on that host:
//       a download of the files into the program folder, or without files a
//       query; prints its outcome and the reply
//   net_probe stuck <host> <path> <file>
//       downloads the file from a host that stalls and stops the job; then
//       once more, now holding the worker thread so that it cannot see the
//       stop, and prints what is left; then runs the same job handle against
//       <path> on the host given by the switch "good=<host>"
//   net_probe -update
//       what the engine starts when the server offers a new version: writes
//       "update_started.txt" into the program folder and ends
// Copied under another name (the old updaters "TovrinUpdate.exe" and
// "MegaPatch.exe"), it writes "<name>.started.txt" with its command line and
// ends.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>

#include "SolvikaNet.h"
#include "SolvikaUtils.h"
#include "file_io.h"
#include "svstring.h"

namespace {

void Mark(const std::string& name) {
  std::string path = sv::ProgramFolder() + name;
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f) std::fputs(GetCommandLineA(), f), std::fclose(f);
}

std::string OwnName() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  const char* slash = std::strrchr(path, '\\');
  return slash ? slash + 1 : path;
}

std::string Utf8(const std::wstring& w) {
  int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), (int)w.size(), nullptr, 0, nullptr, nullptr);
  std::string s((size_t)n, '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), (int)w.size(), &s[0], n, nullptr, nullptr);
  return s;
}

std::wstring WindowText(HWND w) {
  wchar_t buf[1024] = {};
  GetWindowTextW(w, buf, 1024);
  return buf;
}

// Sleeps `ms` while handling the messages of the probe's own windows.
void Pump(DWORD ms) {
  MsgWaitForMultipleObjects(0, nullptr, FALSE, ms, QS_ALLINPUT);
  MSG m;
  while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
}

BOOL CALLBACK CollectStatic(HWND child, LPARAM out) {
  wchar_t cls[32] = {};
  GetClassNameW(child, cls, 32);
  std::wstring text = WindowText(child);
  if (_wcsicmp(cls, L"Static") == 0 && !text.empty()) *(std::wstring*)out += text;
  return TRUE;
}

BOOL CALLBACK MatchQuestion(HWND w, LPARAM found) {
  // "Мастер обновлений"
  static const wchar_t caption[] = L"\x41C\x430\x441\x442\x435\x440 \x43E\x431\x43D\x43E\x432\x43B\x435\x43D\x438\x439";
  wchar_t cls[32] = {};
  GetClassNameW(w, cls, 32);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  if (pid != GetCurrentProcessId() || std::wcscmp(cls, L"#32770") != 0 || WindowText(w) != caption) return TRUE;
  *(HWND*)found = w;
  return FALSE;
}

// The engine's update question box in this process, or none.
HWND FindQuestion() {
  HWND found = nullptr;
  EnumWindows(MatchQuestion, (LPARAM)&found);
  return found;
}

void Report(HWND box, HWND app) {
  std::wstring text;
  EnumChildWindows(box, CollectStatic, (LPARAM)&text);
  bool yes = GetDlgItem(box, IDYES) != nullptr, no = GetDlgItem(box, IDNO) != nullptr;
  std::printf("QUESTION=%s\nBUTTONS=%s%s\nOWNED=%d\n", Utf8(text).c_str(), yes ? "Y" : "", no ? "N" : "",
              app && GetWindow(box, GW_OWNER) == app ? 1 : 0);
}

HWND MakeAppWindow() {
  WNDCLASSW wc = {};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"NetProbeApp";
  RegisterClassW(&wc);
  return CreateWindowW(L"NetProbeApp", L"net probe", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                       wc.hInstance, nullptr);
}

std::string Option(int argc, char** argv, const char* name) {
  size_t n = std::strlen(name);
  for (int i = 2; i < argc; ++i)
    if (std::strncmp(argv[i], name, n) == 0) return argv[i] + n;
  return std::string();
}

int Run(int argc, char** argv) {
  const std::string answer = Option(argc, argv, "answer=");
  int kicks = std::atoi(Option(argc, argv, "kick=").c_str());
  bool withWindow = false;
  for (int i = 4; i < argc; ++i) withWindow |= std::strcmp(argv[i], "window") == 0;
  HWND app = withWindow ? MakeAppWindow() : nullptr;
  SolvikaNetStart(app, (uint16_t)std::atoi(argv[2]));
  DWORD until = GetTickCount() + (DWORD)std::atoi(argv[3]);
  auto timeLeft = [&] { return (LONG)(until - GetTickCount()) > 0; };
  bool asked = answer.empty();
  while (!asked && timeLeft()) {
    HWND box = FindQuestion();
    if (!box || !IsWindowVisible(box)) {
      Pump(20);
      continue;
    }
    asked = true;
    Report(box, app);
    if (answer == "none") {
      // Stopped while the question is open: the main thread cannot end.
      DWORD t0 = GetTickCount();
      SolvikaNetStop();
      std::printf("STOPMS=%lu\n", (unsigned long)(GetTickCount() - t0));
      return 0;
    }
    PostMessageW(box, WM_COMMAND, answer == "yes" ? IDYES : IDNO, 0);
  }
  if (!asked) std::printf("NOQUESTION\n");
  for (;;) {
    while (!isMainScriptFree() && timeLeft()) Pump(20);
    if (kicks-- <= 0 || !timeLeft()) break;
    ActiveteMainScript();
  }
  std::printf("IDLE=%d\n", (int)isMainScriptFree());
  std::printf("SCRIPTS=%s\nSOURCES=%s\nMAINPATH=%s\n", sv::TakeOut(GetScriptHosts).c_str(),
              sv::TakeOut(GetSourceHosts).c_str(), sv::TakeOut(GetMainScriptPath).c_str());
  DWORD t0 = GetTickCount();
  SolvikaNetStop();
  std::printf("STOPMS=%lu\n", (unsigned long)(GetTickCount() - t0));
  if (app) DestroyWindow(app);
  return 0;
}

bool WaitDone(void** job, DWORD ms) {
  for (DWORD t0 = GetTickCount(); !SVNetIsDone(job); Sleep(20))
    if (GetTickCount() - t0 > ms) return false;
  return true;
}

int Fetch(int argc, char** argv) {
  SolvikaNetStart(nullptr, 65535);
  void* job = nullptr;
  SVNetCreateEx(&job);
  SVNetInit(&job, 10000, "probe");
  SVNetSetHost(&job, argv[2]);
  std::string folder = sv::ProgramFolder();
  if (argc > 4) SVNetRunDownload(&job, folder.c_str(), argv[3], argv[4]);
  else SVNetRunQuery(&job, argv[3]);
  bool done = WaitDone(&job, 20000);
  SvStr reply = nullptr;
  SVNetGetReadStr(&reply, &job);
  std::printf("DONE=%d\nCORRECT=%d\nCODE=%d\nREAD=%s\n", (int)done, (int)SVNetIsCorrect(&job),
              (int)SVNetGetResultCode(&job), reply ? reply : "");
  sv::Release(reply);
  SVNetDestroy(&job);
  SolvikaNetStop();
  return 0;
}

// The start of the job record as the engine lays it out: the parameter
// record, the state byte, then the worker's thread handle.
struct JobHead {
  TSVNetParams params;
  uint8_t State;
  HANDLE Thread;
};

int Stuck(int argc, char** argv) {
  void* job = nullptr;
  SVNetCreateEx(&job);
  std::string folder = sv::ProgramFolder();
  auto start = [&] {
    SVNetInit(&job, 60000, "probe");
    SVNetSetHost(&job, argv[2]);
    SVNetRunDownload(&job, folder.c_str(), argv[3], argv[4]);
    // The worker reads the headers and then waits for a body that never comes.
    Sleep(1500);
  };
  // First a stop that the worker sees: the disconnect ends it.
  start();
  SVNetStop(&job);
  std::printf("FIRST=%d\n", (int)SVNetIsDone(&job));
  start();
  std::string part = folder + argv[4];
  std::printf("RUNNING=%d\nPARTFILE=%d\n", (int)!SVNetIsDone(&job), (int)SVFileExists(part.c_str()));
  HANDLE worker = ((JobHead*)job)->Thread;
  DWORD suspended = worker ? SuspendThread(worker) : (DWORD)-1;
  std::printf("SUSPENDED=%d\n", suspended != (DWORD)-1 ? 1 : 0);
  SVNetStop(&job);
  std::printf("DONE=%d\nSTATE=%d\nPARTFILE=%d\n", (int)SVNetIsDone(&job), (int)((JobHead*)job)->State,
              (int)SVFileExists(part.c_str()));
  // The handle stays usable after its worker was killed.
  std::string good = Option(argc, argv, "good=");
  SVNetInit(&job, 10000, "probe");
  SVNetSetHost(&job, good.c_str());
  SVNetRunDownload(&job, folder.c_str(), argv[3], argv[4]);
  bool done = WaitDone(&job, 20000);
  std::printf("AGAIN=%d:%d:%d\n", (int)done, (int)SVNetIsCorrect(&job), (int)SVNetGetResultCode(&job));
  SVNetDestroy(&job);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  // Unbuffered, so that the probe's lines and the engine's debug log lines
  // reach the pipe in the order they happen.
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  std::string self = OwnName();
  if (_stricmp(self.c_str(), "net_probe.exe") != 0) {
    Mark(self + ".started.txt");
    return 0;
  }
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "-update") == 0) {
      Mark("update_started.txt");
      return 0;
    }
  }
  if (argc < 2) return 2;
  std::string mode = argv[1];
  if (mode == "run" && argc >= 4) return Run(argc, argv);
  if (mode == "fetch" && argc >= 4) return Fetch(argc, argv);
  if (mode == "stuck" && argc >= 5) return Stuck(argc, argv);
  if (mode == "setproxy" && argc >= 6) {
    SolvikaNetStart(nullptr, 65535);
    SetProxyParam(argv[2], (uint16_t)std::atoi(argv[3]), argv[4], argv[5]);
    SolvikaNetStop();
    return 0;
  }
  if (mode == "hosts") {
    SolvikaNetStart(nullptr, 65535);
    SvStr server = nullptr, user = nullptr, pass = nullptr;
    uint16_t port = 0;
    GetProxyParam(&server, &port, &user, &pass);
    std::printf("SCRIPTS=%s\nSOURCES=%s\nPROXY=%s:%u:%s:%s\nIDLE=%d\n", sv::TakeOut(GetScriptHosts).c_str(),
                sv::TakeOut(GetSourceHosts).c_str(), server ? server : "", (unsigned)port, user ? user : "",
                pass ? pass : "", (int)isMainScriptFree());
    sv::Release(server), sv::Release(user), sv::Release(pass);
    SolvikaNetStop();
    return 0;
  }
  return 2;
}
