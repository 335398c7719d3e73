// The network configuration of the running engine: the effective host lists
// (built in, or given on the command line), the "TovrinNet.cfg" record with
// the stored hosts and the proxy settings, and its file. Guarded by the
// configuration lock; every function may be called from any thread.
#pragma once

#include <string>

#include "http/http_client.h"

namespace svnet {

// "-tnnetlocalhost" or "-tnnetdefaulthost:<hosts>" on the command line
// replace both effective lists.
void ApplyCommandLineHosts();
void LoadConfig();
void SaveConfig();

std::string BuiltInScriptHosts();
std::string BuiltInSourceHosts();
std::string EffectiveScriptHosts();
// The lists jobs try, in order: a command-line override alone, else the
// stored hosts followed by the built-in ones.
std::string ScriptHostList();
std::string SourceHostList();
// Replaces the stored script (source = false) or source hosts.
void StoreHosts(bool source, const std::string& list);

ProxySettings CurrentProxy();

}  // namespace svnet
