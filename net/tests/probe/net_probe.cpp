// Runs SolvikaNet with its main thread in a program folder of its own, for
// the tests of the server protocol.
//
//   net_probe run <version> <wait ms> [switches...]
//       starts the engine, waits until the main thread is idle (its first
//       status query done) or the time is up, prints the host lists and the
//       main script path, stops the engine
//       (a fourth argument "kick=N": the first N times the thread goes idle,
//       ActiveteMainScript starts its next query at once)
//   net_probe setproxy <server> <port> <user> <password>
//       stores proxy settings (and so writes TovrinNet.cfg)
//   net_probe hosts [switches...]
//       starts the engine without main thread (version 65535), prints the
//       host lists and the proxy settings, stops it
//   net_probe -update
//       what the engine starts when the server offers a new version: writes
//       "update_started.txt" into the program folder and ends
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "SolvikaNet.h"
#include "SolvikaUtils.h"

static std::string Take(void(SVAPI* fn)(SvStr*)) {
  SvStr s = nullptr;
  fn(&s);
  std::string r = s ? std::string(s, (size_t)sv::Length(s)) : std::string();
  sv::Release(s);
  return r;
}

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "-update") == 0) {
      std::string path = Take(GetCurrDir) + "update_started.txt";
      FILE* f = std::fopen(path.c_str(), "wb");
      if (f) std::fputs(GetCommandLineA(), f), std::fclose(f);
      return 0;
    }
  }
  if (argc < 2) return 2;
  std::string mode = argv[1];
  if (mode == "run" && argc >= 4) {
    SolvikaNetStart(nullptr, (uint16_t)std::atoi(argv[2]));
    DWORD until = GetTickCount() + (DWORD)std::atoi(argv[3]);
    int kicks = argc > 4 && std::strncmp(argv[4], "kick=", 5) == 0 ? std::atoi(argv[4] + 5) : 0;
    for (;;) {
      while (!isMainScriptFree() && (LONG)(until - GetTickCount()) > 0) Sleep(20);
      if (kicks-- <= 0 || (LONG)(until - GetTickCount()) <= 0) break;
      ActiveteMainScript();
    }
    std::printf("IDLE=%d\n", (int)isMainScriptFree());
    std::printf("SCRIPTS=%s\nSOURCES=%s\nMAINPATH=%s\n", Take(GetScriptHosts).c_str(), Take(GetSourceHosts).c_str(),
                Take(GetMainScriptPath).c_str());
    DWORD t0 = GetTickCount();
    SolvikaNetStop();
    std::printf("STOPMS=%lu\n", (unsigned long)(GetTickCount() - t0));
    return 0;
  }
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
    std::printf("SCRIPTS=%s\nSOURCES=%s\nPROXY=%s:%u:%s:%s\nIDLE=%d\n", Take(GetScriptHosts).c_str(),
                Take(GetSourceHosts).c_str(), server ? server : "", (unsigned)port, user ? user : "",
                pass ? pass : "", (int)isMainScriptFree());
    sv::Release(server), sv::Release(user), sv::Release(pass);
    SolvikaNetStop();
    return 0;
  }
  return 2;
}
