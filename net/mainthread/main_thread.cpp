// Engine start and stop, and the background main thread that asks the
// server for host lists, settings and update news and obeys the reply.
#include <windows.h>

#include <cstdio>

#include "SolvikaUtils.h"
#include "config.h"
#include "guard.h"
#include "jobs/job.h"
#include "main_thread.h"
#include "nettext.h"
#include "svstring.h"
#include "wide.h"

namespace svnet {

namespace {

struct Engine {
  bool running = false;            // between start and stop
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
  std::string s = S(out);
  sv::Release(out);
  return s;
}

std::string RunStr() {
  SvStr configVers = nullptr, comVers = nullptr;
  GetIniString(&configVers, "Solvika", "ConfigVers", "0");
  GetIniString(&comVers, "Solvika", "ComVers", "0");
  std::string s = "&configvers=" + S(configVers) + "&comvers=" + S(comVers);
  sv::Release(configVers);
  sv::Release(comVers);
  return s;
}

// "&count=N&sumver=S" over the plugin sections ("*" + key) of Tovrin.ini.
std::string PluginSums() {
  SvStr names = nullptr;
  GetIniSectNames(&names);
  std::string list = S(names);
  sv::Release(names);
  long count = 0;
  long long sum = 0;
  for (auto& name : Fields(list, '/')) {  // section names come joined by "/"
    if (name.empty() || name[0] != '*') continue;
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
    WaitForSingleObject(E().wake, 1000);
  }
}

// Runs one query on the main job; true when it succeeded (reply processed).
bool Query(const std::string& path, uint16_t version) {
  TSVNetParams p = {};
  p.Size = 48;
  p.Method = SVNET_POSTORGET;
  p.HostMode = SVNET_HOSTS_SCRIPT;
  p.Path = (SvStr)path.c_str();
  p.Tag = (SvStr) "MAIN";
  p.LogReply = 1;
  void** job = &E().mainJob;
  if (Stopping() || SVNetInitEx(job, p) != 0) return false;
  SVNetRun(job);
  while (!SVNetIsDone(job)) {
    if (Stopping()) AbortJob((Job*)*job);
    Sleep(100);
  }
  bool ok = SVNetIsCorrect(job) && !Stopping();
  if (ok) {
    SvStr reply = nullptr;
    SVNetGetReadStr(&reply, job);
    std::string text = S(reply);
    sv::Release(reply);
    SVNetFinalize(job);
    ProcessReply(text, version);
  } else {
    SVNetFinalize(job);
  }
  return ok;
}

DWORD WINAPI MainThread(void*) {
  Engine& e = E();
  Log("--SVNet main thread started");
  e.idle = 0;
  const char* scripts[2] = {"client/svparams.php", "client/update.php"};
  int script = 0;
  if (ScriptHostList() == EffectiveScriptHosts()) {
    while (!Stopping()) {
      if (Query(std::string(scripts[script]) + "?act=gethosts", e.version)) break;
      e.idle = 1;
      script ^= 1;
      WaitIdle(60);
    }
  }
  while (!Stopping()) {
    e.idle = 0;
    std::string path = std::string(scripts[script]) + "?act=readstat" + RunStr() + PluginSums();
    bool ok = Query(path, e.version);
    e.idle = 1;
    if (ok) {
      WaitIdle(3600);
    } else {
      script ^= 1;
      WaitIdle(60);
    }
  }
  return 0;
}

}  // namespace

void ProcessReply(const std::string& reply, uint16_t version) {
  Log("--TovrinNet main query done");
  uint16_t newest = 0;
  bool hide = false;
  std::string section;  // the command whose data lines follow
  for (std::string line : Fields(reply, '\n')) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line[0] == '\t') {
      std::string data = line.substr(1);
      if (section.empty() || data.empty()) continue;
      std::vector<std::string> f = Fields(data, '\t');
      if (section == "PLUGINS") {
        f.resize(4);
        if (f[0].empty() || f[1].empty() || f[2].empty() || f[3].empty()) continue;
        std::string key = "*" + f[1];
        SetIniString(key.c_str(), "Name", f[2].c_str());
        SetIniString(key.c_str(), "NewVersion", f[0].c_str());
        SetIniString(key.c_str(), "Section", f[3].c_str());
      } else if (section == "SETINIVALUES") {
        f.resize(3);
        if (f[0].empty() || f[1].empty()) continue;
        SetIniString(f[0].c_str(), f[1].c_str(), f[2].c_str());
      } else if (section == "DELETEINIVALUES") {
        f.resize(2);
        if (f[0].empty()) continue;
        DeleteIniValue(f[0].c_str(), f[1].empty() ? nullptr : f[1].c_str());
      }
      continue;
    }
    section.clear();
    if (line.empty()) continue;
    size_t tab = line.find('\t');
    std::string command = line.substr(0, tab);
    std::string arg = tab == std::string::npos ? std::string() : line.substr(tab + 1);
    if (command == "VERSION") {
      newest = (uint16_t)ToInt(arg, 0);
    } else if (command == "HIDE") {
      hide = true;
    } else if (command == "SCRIPTS") {
      StoreHosts(false, arg);
      Log("Set script hosts: " + arg);
    } else if (command == "SOURCES") {
      StoreHosts(true, arg);
      Log("Set source hosts: " + arg);
    } else if (command == "STAT") {
      SetProgramId(arg.c_str());
    } else if (command == "PLUGINS" || command == "SETINIVALUES" || command == "DELETEINIVALUES") {
      section = command;
    }
  }
  SaveConfig();
  if (newest <= version) return;
  Log("--TovrinNet is new version");
  if (!hide) {
    std::wstring text = sv::Wide(sv::Ru(u8"Найдена новая версия программы \"Solvika\"\rХотите обновить?"));
    std::wstring caption = sv::Wide(sv::Ru(u8"Мастер обновлений"));
    if (MessageBoxW(GetApplHandle(), text.c_str(), caption.c_str(), MB_YESNO | MB_ICONQUESTION | MB_TOPMOST) != IDYES)
      return;
  }
  Log("--TovrinNet Run TovrinUpdate.exe");
  if (version >= 200) {
    SVShellExe("", "-update");
    return;
  }
  SvStr dir = nullptr;
  GetCurrDir(&dir);
  std::string folder = S(dir);
  sv::Release(dir);
  const char* param = hide ? "-hideupdate" : "";
  if (!SVShellExe((folder + "TovrinUpdate.exe").c_str(), param)) {
    Log("--TovrinNet Run MegaPatch.exe");
    SVShellExe((folder + "MegaPatch.exe").c_str(), param);
  }
}

}  // namespace svnet

using namespace svnet;

SV_EXPORT void SVAPI SolvikaNetStart(HWND window, uint16_t version) {
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
    e.running = true;
    if (version != 65535 && InterlockedExchange(&e.threadStarted, 1) == 0) {
      e.wake = CreateEventW(nullptr, FALSE, FALSE, nullptr);
      SVNetCreateEx(&e.mainJob);
      e.thread = CreateThread(nullptr, 0, MainThread, nullptr, 0, nullptr);
    }
  });
}

SV_EXPORT void SVAPI SolvikaNetStop(void) {
  sv::GuardVoid([&] {
    Engine& e = E();
    if (!e.running) return;
    e.running = false;
    // The main thread is told to end, its query is cut off, and only then is
    // the main job destroyed: the thread never uses a job that is gone.
    InterlockedExchange(&e.stopping, 1);
    if (e.wake) SetEvent(e.wake);
    if (e.mainJob) AbortJob((Job*)e.mainJob);
    if (e.thread) {
      if (WaitForSingleObject(e.thread, 5000) != WAIT_OBJECT_0) {
        TerminateThread(e.thread, 1);
        Log("--SVNet terminate main thread");
      }
      CloseHandle(e.thread);
      e.thread = nullptr;
      Log("--SVNet main thread stopped");
    }
    SVNetDestroy(&e.mainJob);
    SaveConfig();
    Log("--SVNet stopped");
  });
}

SV_EXPORT void SVAPI GetRunStr(SvStr* out) {
  sv::GuardVoid([&] { sv::PutStr(out, RunStr()); });
}

SV_EXPORT void SVAPI GetMainScriptPath(SvStr* out) {
  sv::GuardVoid([&] {
    if (E().mainJob) SVNetGetPath(out, &E().mainJob);
    else sv::StrPut(out, nullptr);
  });
}

SV_EXPORT SvBool SVAPI isMainScriptFree(void) { return E().idle ? 1 : 0; }

SV_EXPORT void SVAPI ActiveteMainScript(void) {
  E().idle = 0;
  if (E().wake) SetEvent(E().wake);
}
