// The engine's configuration: host lists, the "TovrinNet.cfg" record and its
// file, the proxy settings, and the exports around them.
#include "mainthread/configuration.h"

#include <windows.h>
#include <shellapi.h>

#include <cstring>
#include <string_view>

#include "SolvikaNet.h"
#include "SolvikaUtils.h"
#include "debug_log.h"
#include "guard.h"
#include "mainthread/config_record.h"
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

constexpr char kCfgName[] = "TovrinNet.cfg";
constexpr char kTempSuffix[] = ".new";
constexpr DWORD kPlainAttributes = FILE_ATTRIBUTE_ARCHIVE;  // clears read-only
constexpr std::string_view kLocalHostSwitch = "-tnnetlocalhost";
constexpr std::string_view kDefaultHostSwitch = "-tnnetdefaulthost:";
constexpr char kLocalHost[] = "localhost";

struct Config {
  sv::CriticalSection lock;  // the configuration lock
  CfgRecord record = {};
  std::string scriptCache, sourceCache;  // stored hosts, each followed by "/"; empty: not built
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
  return sv::Take(dir) + kCfgName;
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

// Up to one record's bytes of the file; empty when it cannot be opened.
std::string ReadCfgFile(const std::string& path) {
  sv::FileHandle file(CreateFileW(sv::Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) return std::string();
  char buf[kCfgSize];
  DWORD got = 0;
  if (!ReadFile(file.Get(), buf, kCfgSize, &got, nullptr)) return std::string();
  return std::string(buf, got);
}

// The new content goes to a temporary file in the same folder, which then
// replaces the old file in one step: a crash while saving leaves either the
// old or the new configuration, never a truncated one.
void WriteCfgFile(const std::string& path, const std::string& data) {
  const std::wstring temp = sv::Wide(path + kTempSuffix);
  bool ok;
  {
    sv::FileHandle file(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_ARCHIVE,
                                    nullptr));
    if (!file.Valid()) return;
    DWORD done = 0;
    ok = WriteFile(file.Get(), data.data(), (DWORD)data.size(), &done, nullptr) && done == data.size();
    ok = FlushFileBuffers(file.Get()) && ok;
  }
  if (!ok || !MoveFileExW(temp.c_str(), sv::Wide(path).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    DeleteFileW(temp.c_str());
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
  p.port = ProxyPort(c.record);
  return p;
}

void ApplyCommandLineHosts() {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv) return;
  Config& c = Cfg();
  for (int i = 1; i < argc; ++i) {
    const std::string arg = sv::Narrow(argv[i]);
    if (arg == kLocalHostSwitch) {
      c.effectiveScript = c.effectiveSource = kLocalHost;
      break;
    }
    if (std::string_view(arg).substr(0, kDefaultHostSwitch.size()) == kDefaultHostSwitch) {
      c.effectiveScript = c.effectiveSource = arg.substr(kDefaultHostSwitch.size());
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
  const std::string path = CfgPath();
  {
    sv::Lock hold(c.lock);
    std::memset(c.record.bytes, 0, kCfgSize);
    c.scriptCache.clear();
    c.sourceCache.clear();
  }
  Log("Load Configs File: " + path);
  const CfgRecord r = DecodeCfg(ReadCfgFile(path));
  sv::Lock hold(c.lock);
  c.record = r;
}

void SaveConfig() {
  Log("Save Configs");
  Config& c = Cfg();
  CfgRecord copy;
  {
    sv::Lock hold(c.lock);
    copy = c.record;
  }
  const std::string path = CfgPath();
  SVSetAttrib(path.c_str(), kPlainAttributes);
  WriteCfgFile(path, EncodeCfg(copy));
}

}  // namespace svnet

using namespace svnet;

SVNET_API void SVAPI GetScriptHosts(SvStr* out) {
  sv::GuardVoid([&] { sv::PutStr(out, ScriptHostList()); });
}

SVNET_API void SVAPI GetSourceHosts(SvStr* out) {
  sv::GuardVoid([&] { sv::PutStr(out, SourceHostList()); });
}

SVNET_API void SVAPI GetProxyParam(SvStr* server, uint16_t* port, SvStr* user, SvStr* password) {
  sv::GuardVoid([&] {
    ProxySettings p = CurrentProxy();
    sv::PutStr(server, p.host);
    if (port) *port = p.port;
    sv::PutStr(user, p.user);
    sv::PutStr(password, p.password);
  });
}

SVNET_API void SVAPI SetProxyParam(const char* server, uint16_t port, const char* user, const char* password) {
  sv::GuardVoid([&] {
    Config& c = Cfg();
    {
      sv::Lock hold(c.lock);
      SetSlotText(&c.record, kProxyServer, std::string(sv::Text(server)));
      SetSlotText(&c.record, kProxyUser, std::string(sv::Text(user)));
      SetSlotText(&c.record, kProxyPassword, std::string(sv::Text(password)));
      SetProxyPort(&c.record, port);
    }
    SaveConfig();
  });
}
