// Engine start and stop, and the background main thread that asks the
// server for host lists, settings and update news and obeys the reply.
#include <windows.h>

#include <cstdio>

#include "SolvikaNet.h"
#include "SolvikaUtils.h"
#include "debug_log.h"
#include "guard.h"
#include "jobs/job_control.h"
#include "mainthread/configuration.h"
#include "mainthread/reply_handling.h"
#include "nettext.h"
#include "svstring.h"

namespace svnet {

namespace {

constexpr DWORD kPollMs = 100;              // how often a query is checked
constexpr DWORD kWaitStepMs = 1000;         // a wait is counted in these steps
constexpr int kRetrySeconds = 60;           // after a failed query
constexpr int kRepeatSeconds = 3600;        // after a successful status query
constexpr DWORD kThreadEndMs = 5000;        // the stop's wait for the main thread
constexpr char kMainTag[] = "MAIN";
constexpr const char* kScripts[2] = {"client/svparams.php", "client/update.php"};
constexpr char kPluginSectionPrefix = '*';

struct Engine {
  bool running = false;             // between start and stop
  volatile LONG threadStarted = 0;  // the main thread was started (never again)
  HANDLE thread = nullptr;
  void* mainJob = nullptr;
  volatile LONG stopping = 0;
  volatile uint8_t idle = 0;
  HANDLE wake = nullptr;  // ends a wait at once (stop, ActiveteMainScript)
  uint16_t version = 0;
};

Engine& E() {
  static Engine* e = new Engine();
  return *e;
}

std::string Text(void(SVAPI* fn)(SvStr*)) {
  SvStr out = nullptr;
  fn(&out);
  return sv::Take(out);
}

std::string IniText(const char* section, const char* key, const char* fallback) {
  SvStr value = nullptr;
  GetIniString(&value, section, key, fallback);
  return sv::Take(value);
}

std::string RunStr() {
  return "&configvers=" + IniText("Solvika", "ConfigVers", "0") + "&comvers=" + IniText("Solvika", "ComVers", "0");
}

// "&count=N&sumver=S" over the plugin sections ("*" + key) of Tovrin.ini.
std::string PluginSums() {
  long count = 0;
  long long sum = 0;
  for (auto& name : Fields(Text(GetIniSectNames), '/')) {  // section names come joined by "/"
    if (name.empty() || name[0] != kPluginSectionPrefix) continue;
    ++count;
    sum += GetIniInt(name.c_str(), "NewVersion", 0);
  }
  char text[64];
  std::snprintf(text, sizeof text, "&count=%ld&sumver=%lld", count, sum);
  return text;
}

bool Stopping() { return E().stopping != 0; }

// Waits up to `seconds` while idle and not stopping.
void WaitIdle(int seconds) {
  for (int i = 0; i < seconds; ++i) {
    if (Stopping() || !E().idle) return;
    WaitForSingleObject(E().wake, kWaitStepMs);
  }
}

TSVNetParams QueryParams(const std::string& path) {
  TSVNetParams p = {};
  p.Size = sizeof(TSVNetParams);
  p.Method = SVNET_POSTORGET;
  p.HostMode = SVNET_HOSTS_SCRIPT;
  p.Path = (SvStr)path.c_str();  // copied by the init
  p.Tag = (SvStr)kMainTag;
  p.LogReply = 1;
  return p;
}

// Runs the initialised main job and waits for it; a stop cuts it off.
bool RunAndWait(void** job) {
  SVNetRun(job);
  while (!SVNetIsDone(job)) {
    if (Stopping()) AbortJob((Job*)*job);
    Sleep(kPollMs);
  }
  return SVNetIsCorrect(job) && !Stopping();
}

// One query; true when it succeeded (its reply is then processed).
bool Query(const std::string& path, uint16_t version) {
  void** job = &E().mainJob;
  if (Stopping() || SVNetInitEx(job, QueryParams(path)) != SVNET_OK) return false;
  const bool ok = RunAndWait(job);
  std::string reply;
  if (ok) {
    SvStr text = nullptr;
    SVNetGetReadStr(&text, job);
    reply = sv::Take(text);
  }
  SVNetFinalize(job);
  if (ok) ProcessReply(reply, version);
  return ok;
}

// Host discovery: "?act=gethosts" until one succeeds, switching scripts.
void DiscoverHosts(int* script) {
  Engine& e = E();
  while (!Stopping()) {
    if (Query(std::string(kScripts[*script]) + "?act=gethosts", e.version)) return;
    e.idle = 1;
    *script ^= 1;
    WaitIdle(kRetrySeconds);
  }
}

// The status loop: "?act=readstat" every hour, a minute after a failure.
void ReportStatus(int* script) {
  Engine& e = E();
  while (!Stopping()) {
    e.idle = 0;
    const std::string path = std::string(kScripts[*script]) + "?act=readstat" + RunStr() + PluginSums();
    const bool ok = Query(path, e.version);
    e.idle = 1;
    if (!ok) *script ^= 1;
    WaitIdle(ok ? kRepeatSeconds : kRetrySeconds);
  }
}

DWORD WINAPI MainThread(void*) {
  Log("--SVNet main thread started");
  E().idle = 0;
  int script = 0;  // index into kScripts; flips after every failure
  if (ScriptHostList() == EffectiveScriptHosts()) DiscoverHosts(&script);
  ReportStatus(&script);
  return 0;
}

void LogStartup(uint16_t version) {
  char v[16];
  std::snprintf(v, sizeof v, "%u", (unsigned)version);
  Log(std::string("Program version: ") + v);
  Log("Windows version: " + Text(GetWindowsVersion));
  Log("MSIE version: " + Text(GetMSIEVersion));
  Log("Current directory: " + Text(GetCurrDir));
  Log("System directory: " + Text(GetSysDir));
  Log("Temp directory: " + Text(GetTempDir) + "\r\n");
  Log("Scripts: " + ScriptHostList());
  Log("Sources: " + SourceHostList());
  Log("\r\n\r\n\r\n");
}

void StartMainThread() {
  Engine& e = E();
  e.wake = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  SVNetCreateEx(&e.mainJob);
  e.thread = CreateThread(nullptr, 0, MainThread, nullptr, 0, nullptr);
}

// The main thread is told to end, its query is cut off, and only then is
// the main job destroyed: the thread never uses a job that is gone.
void StopMainThread() {
  Engine& e = E();
  InterlockedExchange(&e.stopping, 1);
  if (e.wake) SetEvent(e.wake);
  if (e.mainJob) AbortJob((Job*)e.mainJob);
  if (e.thread) {
    if (WaitForSingleObject(e.thread, kThreadEndMs) != WAIT_OBJECT_0) {
      TerminateThread(e.thread, 1);
      Log("--SVNet terminate main thread");
    }
    CloseHandle(e.thread);
    e.thread = nullptr;
    Log("--SVNet main thread stopped");
  }
  SVNetDestroy(&e.mainJob);
}

}  // namespace

}  // namespace svnet

using namespace svnet;

SVNET_API void SVAPI SolvikaNetStart(HWND window, uint16_t version) {
  sv::GuardVoid([&] {
    Engine& e = E();
    // Once a main thread has run in this process the engine is not started
    // again; a start without one (version 65535) may be repeated.
    if (e.threadStarted || e.running) return;
    SetApplParam(window, version);
    e.version = version;
    ApplyCommandLineHosts();
    Log("--SVNet started");
    LoadConfig();
    LogStartup(version);
    e.running = true;
    if (version != SVNET_VERSION_JOBS_ONLY && InterlockedExchange(&e.threadStarted, 1) == 0) StartMainThread();
  });
}

SVNET_API void SVAPI SolvikaNetStop(void) {
  sv::GuardVoid([&] {
    Engine& e = E();
    if (!e.running) return;
    e.running = false;
    StopMainThread();
    SaveConfig();
    Log("--SVNet stopped");
  });
}

SVNET_API void SVAPI GetRunStr(SvStr* out) {
  sv::GuardVoid([&] { sv::PutStr(out, RunStr()); });
}

SVNET_API void SVAPI GetMainScriptPath(SvStr* out) {
  sv::GuardVoid([&] {
    if (E().mainJob) SVNetGetPath(out, &E().mainJob);
    else sv::StrPut(out, nullptr);
  });
}

SVNET_API SvBool SVAPI isMainScriptFree(void) { return E().idle ? 1 : 0; }

SVNET_API void SVAPI ActiveteMainScript(void) {
  E().idle = 0;
  if (E().wake) SetEvent(E().wake);
}
