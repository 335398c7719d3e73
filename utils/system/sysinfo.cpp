// System information, the application's window and version, module versions.
#include <windows.h>

#include <vector>

#include "guard.h"
#include "load_steps.h"
#include "runtime.h"
#include "state.h"
#include "svstring.h"
#include "wide.h"
#include "win_handles.h"
#include "SolvikaUtils.h"

namespace utils {

namespace {

std::string WindowsVersionText() {
  OSVERSIONINFOW info;
  memset(&info, 0, sizeof(info));
  info.dwOSVersionInfoSize = sizeof(info);
  if (!GetVersionExW(&info)) return std::string();
  DWORD major = info.dwMajorVersion, minor = info.dwMinorVersion;
  if (major == 4) {
    if (info.dwPlatformId == VER_PLATFORM_WIN32_NT) return "NT";
    if (minor < 10) return "95";
    if (minor < 90) return "98";
    return "Me";
  }
  if (major == 5) return minor == 0 ? "2k" : minor == 1 ? "XP" : "2k3";
  if (major == 6) return "LH";
  return "??";
}

// "6.0.2900.2180" becomes "6.0"; a value with fewer than two dots stays whole.
std::string MajorMinor(std::string version) {
  size_t first = version.find('.');
  if (first != std::string::npos) {
    size_t second = version.find('.', first + 1);
    if (second != std::string::npos) version.resize(second);
  }
  return version;
}

}  // namespace

void LoadVersionTexts() {
  LoadState& st = MutableStateForLoad();
  st.windowsVersion = WindowsVersionText();
  SvStr ie = nullptr;
  GetRegistryString(&ie, 0x80000002u, "Software\\Microsoft\\Internet Explorer", "Version", "");
  st.ieVersion = MajorMinor(std::string(sv::Bytes(ie)));
  sv::Release(ie);
}

}  // namespace utils

using namespace utils;

SVU_API void SVAPI GetWindowsVersion(SvStr* out) {
  sv::GuardVoid([&] { sv::PutStr(out, State().windowsVersion); });
}

SVU_API void SVAPI GetMSIEVersion(SvStr* out) {
  sv::GuardVoid([&] { sv::PutStr(out, State().ieVersion); });
}

SVU_API void SVAPI GetCurrentUserName(SvStr* out) {
  sv::GuardVoid([&] {
    std::vector<wchar_t> buf(65535);
    DWORD n = 65534;
    if (!GetUserNameW(buf.data(), &n)) n = 0;
    sv::PutStr(out, sv::Narrow(std::wstring_view(buf.data(), n ? n - 1 : 0)));
  });
}

SVU_API uint32_t SVAPI SVGetDriveSerial(const char* path) {
  return sv::Guard<uint32_t>(0, [&] {
    std::string_view p = sv::Text(path);
    if (p.empty()) p = State().programDir;
    if (p.empty()) return (uint32_t)0;
    std::wstring root = sv::Wide(p.substr(0, 1)) + L":\\";
    DWORD serial = 0;
    if (!GetVolumeInformationW(root.c_str(), nullptr, 0, &serial, nullptr, nullptr, nullptr, 0)) return (uint32_t)0;
    return (uint32_t)serial;
  });
}

SVU_API void SVAPI SetApplParam(HWND window, uint16_t version) {
  TheRuntime().appWindow = window;
  TheRuntime().progVersion = version;
}

SVU_API HWND SVAPI GetApplHandle(void) { return TheRuntime().appWindow; }

SVU_API uint16_t SVAPI GetProgVersion(void) { return TheRuntime().progVersion; }

SVU_API void SVAPI GetProgVersionStr(SvStr* out) {
  sv::GuardVoid([&] { sv::PutStr(out, std::to_string(TheRuntime().progVersion.load())); });
}

SVU_API int32_t SVAPI GetModuleVersion(void) { return 11; }

SVU_API int32_t SVAPI GetDllModuleVersion(const char* fileName) {
  return sv::Guard<int32_t>(0, [&] {
    sv::Module lib(LoadLibraryW(sv::Wide(sv::Text(fileName)).c_str()));
    if (!lib) return 0;
    typedef int32_t(SVAPI * VersionProc)(void);
    VersionProc proc = (VersionProc)(void*)GetProcAddress(lib.Get(), "GetModuleVersion");
    return proc ? proc() : 0;
  });
}
