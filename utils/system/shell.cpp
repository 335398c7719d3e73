// Starting programs and web pages through the shell, the open-in-IE choice and
// Internet Explorer's proxy setting.
#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "guard.h"
#include "load_steps.h"
#include "runtime.h"
#include "svstring.h"
#include "wide.h"
#include "SolvikaUtils.h"

namespace utils {

Runtime& TheRuntime() {
  static Runtime runtime;
  return runtime;
}

void LoadBrowserFlag() { TheRuntime().openInIE = GetIniInt("Solvika", "IEDefBrowser", 1) == 1; }

}  // namespace utils

using namespace utils;

namespace {

std::wstring OwnExecutable() {
  std::vector<wchar_t> buf(65535);
  DWORD n = GetModuleFileNameW(nullptr, buf.data(), (DWORD)buf.size() - 1);
  return std::wstring(buf.data(), n);
}

// ShellExecute reports failure with a value of 32 or less.
bool ShellOpen(const std::wstring& file, const std::wstring& params) {
  HINSTANCE r = ShellExecuteW(nullptr, L"open", file.c_str(), params.empty() ? nullptr : params.c_str(), nullptr,
                              SW_SHOW);
  return (uintptr_t)r > 32;
}

}  // namespace

SVU_API SvBool SVAPI SVShellExe(const char* file, const char* params) {
  return sv::Guard<SvBool>(1, [&] {
    std::wstring target = sv::Text(file).empty() ? OwnExecutable() : sv::Wide(sv::Text(file));
    return (SvBool)!ShellOpen(target, sv::Wide(sv::Text(params)));
  });
}

SVU_API void SVAPI SVShellWWW(const char* url) {
  sv::GuardVoid([&] {
    if (TheRuntime().openInIE)
      ShellOpen(L"iexplore.exe", sv::Wide(sv::Text(url)));
    else
      ShellOpen(sv::Wide(sv::Text(url)), std::wstring());
  });
}

SVU_API SvBool SVAPI SVGetWWWDefIEBrowser(void) { return TheRuntime().openInIE ? 1 : 0; }

SVU_API void SVAPI SVSetWWWDefIEBrowser(SvBool value) {
  sv::GuardVoid([&] {
    TheRuntime().openInIE = value != 0;
    SetIniInt("Solvika", "IEDefBrowser", value ? 1 : 0);
  });
}

SVU_API SvBool SVAPI SVGetIEProxyParams(SvStr* host, SvStr* port) {
  return sv::Guard<SvBool>(0, [&] {
    sv::StrPut(host, nullptr);
    sv::StrPut(port, nullptr);
    const char* key = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
    if (GetRegistryInt(0x80000001u, key, "ProxyEnable", 0) != 1) return (SvBool)0;
    SvStr raw = nullptr;
    GetRegistryString(&raw, 0x80000001u, key, "ProxyServer", "");
    std::string server(sv::Bytes(raw));
    sv::Release(raw);

    // "ftp=f:21;http=p:8080;https=s:443" names a proxy per protocol.
    size_t http = server.find("http=");
    if (http != std::string::npos) {
      server.erase(0, http + 5);
      size_t semicolon = server.find(';');
      if (semicolon != std::string::npos) server.resize(semicolon);
    }
    size_t colon = server.find(':');
    if (server.empty() || colon == std::string::npos) return (SvBool)0;
    sv::PutStr(host, std::string_view(server).substr(0, colon));
    sv::PutStr(port, std::string_view(server).substr(colon + 1));
    return (SvBool)(colon > 0 && colon + 1 < server.size());
  });
}
