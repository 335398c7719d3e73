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
#include "file_io.h"
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

std::string CfgPath() { return sv::ProgramFolder() + kCfgName; }

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
  std::string bytes;
  if (!sv::ReadWholeFile(path, &bytes)) bytes.clear();  // a missing file loads as all zero
  const CfgRecord r = DecodeCfg(bytes);
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
  // Through a temporary file that replaces the old one in one step: a crash
  // while saving leaves the old or the new configuration, never half of one.
  sv::WriteFileReplacing(path, EncodeCfg(copy));
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
