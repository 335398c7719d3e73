// The engine's shared state: host lists, the configuration record and its
// file, the proxy settings and the exports around them.
#include <windows.h>
#include <shellapi.h>

#include <cstring>

#include "SolvikaUtils.h"
#include "config.h"
#include "guard.h"
#include "jobs/job.h"
#include "svstring.h"
#include "wide.h"
#include "win_handles.h"

#ifndef SVNET_SCRIPT_HOSTS
#define SVNET_SCRIPT_HOSTS "script1.solvika.invalid/script2.solvika.invalid/script3.solvika.invalid"
#endif
#ifndef SVNET_SOURCE_HOSTS
#define SVNET_SOURCE_HOSTS "files.solvika.invalid"
#endif

namespace svnet {

namespace {

constexpr int kProxyServer = 1022;
constexpr int kProxyUser = 1073;
constexpr int kProxyPassword = 1124;
constexpr int kProxyPort = 1175;

struct Config {
  sv::CriticalSection lock;  // the configuration lock
  CfgRecord record = {};
  std::string scriptCache, sourceCache;
  std::string effectiveScript = SVNET_SCRIPT_HOSTS;
  std::string effectiveSource = SVNET_SOURCE_HOSTS;
};

Config& Cfg() {
  static Config* c = new Config();  // lives as long as the process
  return *c;
}

std::string CfgPath() {
  SvStr dir = nullptr;
  GetCurrDir(&dir);
  std::string path = S(dir) + "TovrinNet.cfg";
  sv::Release(dir);
  return path;
}

std::string HostsFor(bool source) {
  Config& c = Cfg();
  const std::string& effective = source ? c.effectiveSource : c.effectiveScript;
  const char* builtIn = source ? SVNET_SOURCE_HOSTS : SVNET_SCRIPT_HOSTS;
  if (effective != builtIn) return effective;  // a command-line override stands alone
  sv::Lock hold(c.lock);
  std::string& cache = source ? c.sourceCache : c.scriptCache;
  if (cache.empty()) cache = StoredHostsText(c.record, source);
  return cache + effective;
}

}  // namespace

std::string BuiltInScriptHosts() { return SVNET_SCRIPT_HOSTS; }
std::string BuiltInSourceHosts() { return SVNET_SOURCE_HOSTS; }
std::string EffectiveScriptHosts() { return Cfg().effectiveScript; }
std::string ScriptHostList() { return HostsFor(false); }
std::string SourceHostList() { return HostsFor(true); }

ProxySettings CurrentProxy() {
  Config& c = Cfg();
  sv::Lock hold(c.lock);
  ProxySettings p;
  p.host = SlotText(c.record, kProxyServer);
  p.user = SlotText(c.record, kProxyUser);
  p.password = SlotText(c.record, kProxyPassword);
  p.port = (uint16_t)(c.record.bytes[kProxyPort] | (c.record.bytes[kProxyPort + 1] << 8));
  return p;
}

void ApplyCommandLineHosts() {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv) return;
  Config& c = Cfg();
  for (int i = 1; i < argc; ++i) {
    std::string arg = sv::Narrow(argv[i]);
    if (arg == "-tnnetlocalhost") {
      c.effectiveScript = c.effectiveSource = "localhost";
      break;
    }
    if (arg.compare(0, 18, "-tnnetdefaulthost:") == 0) {
      c.effectiveScript = c.effectiveSource = arg.substr(18);
      break;
    }
  }
  LocalFree(argv);
}

void StoreHosts(bool source, const std::string& list) {
  Config& c = Cfg();
  sv::Lock hold(c.lock);
  StoreHostList(&c.record, source, list);
  (source ? c.sourceCache : c.scriptCache).clear();
}

void LoadConfig() {
  Log("Load Configs");
  Config& c = Cfg();
  std::string path = CfgPath();
  {
    sv::Lock hold(c.lock);
    std::memset(c.record.bytes, 0, kCfgSize);
    c.scriptCache.clear();
    c.sourceCache.clear();
  }
  Log("Load Configs File: " + path);
  std::string bytes;
  HANDLE h = CreateFileW(sv::Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h != INVALID_HANDLE_VALUE) {
    char buf[kCfgSize];
    DWORD got = 0;
    if (ReadFile(h, buf, kCfgSize, &got, nullptr)) bytes.assign(buf, got);
    CloseHandle(h);
  }
  CfgRecord r = DecodeCfg(bytes);
  sv::Lock hold(c.lock);
  c.record = r;
}

// The new content goes to a temporary file in the same folder, which then
// replaces the old file in one step: a crash while saving leaves either the
// old or the new configuration, never a truncated one.
void SaveConfig() {
  Log("Save Configs");
  Config& c = Cfg();
  CfgRecord copy;
  {
    sv::Lock hold(c.lock);
    copy = c.record;
  }
  std::string path = CfgPath();
  std::string temp = path + ".new";
  std::string data = EncodeCfg(copy);
  SVSetAttrib(path.c_str(), 32);
  std::wstring wtemp = sv::Wide(temp);
  HANDLE h = CreateFileW(wtemp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_ARCHIVE, nullptr);
  if (h == INVALID_HANDLE_VALUE) return;
  DWORD done = 0;
  bool ok = WriteFile(h, data.data(), (DWORD)data.size(), &done, nullptr) && done == data.size();
  ok = FlushFileBuffers(h) && ok;
  CloseHandle(h);
  if (!ok || !MoveFileExW(wtemp.c_str(), sv::Wide(path).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    DeleteFileW(wtemp.c_str());
}

}  // namespace svnet

using namespace svnet;

SV_EXPORT void SVAPI GetScriptHosts(SvStr* out) {
  sv::GuardVoid([&] { sv::PutStr(out, ScriptHostList()); });
}

SV_EXPORT void SVAPI GetSourceHosts(SvStr* out) {
  sv::GuardVoid([&] { sv::PutStr(out, SourceHostList()); });
}

SV_EXPORT void SVAPI GetProxyParam(SvStr* server, uint16_t* port, SvStr* user, SvStr* password) {
  sv::GuardVoid([&] {
    ProxySettings p = CurrentProxy();
    sv::PutStr(server, p.host);
    if (port) *port = p.port;
    sv::PutStr(user, p.user);
    sv::PutStr(password, p.password);
  });
}

SV_EXPORT void SVAPI SetProxyParam(const char* server, uint16_t port, const char* user, const char* password) {
  sv::GuardVoid([&] {
    Config& c = Cfg();
    {
      sv::Lock hold(c.lock);
      SetSlotText(&c.record, kProxyServer, std::string(sv::Text(server)));
      SetSlotText(&c.record, kProxyUser, std::string(sv::Text(user)));
      SetSlotText(&c.record, kProxyPassword, std::string(sv::Text(password)));
      c.record.bytes[kProxyPort] = (unsigned char)(port & 0xFF);
      c.record.bytes[kProxyPort + 1] = (unsigned char)(port >> 8);
    }
    SaveConfig();
  });
}

SV_EXPORT int32_t SVAPI GetModuleVersion(void) { return 13; }
