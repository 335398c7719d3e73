// Gathers what the report's system block tells: this process's windows, the
// settings store and the program folder's libraries.
#include <windows.h>

#include "SolvikaUtils.h"
#include "file_io.h"
#include "ini_text.h"
#include "main_window.h"
#include "report_text.h"
#include "svstring.h"
#include "text.h"
#include "wide.h"

namespace dialogs {

namespace {

constexpr char kSettingsFile[] = "Tovrin.ini";
constexpr char kPluginSectionMark = '*';

void WindowsBuild(SystemFacts* f) {
  OSVERSIONINFOW info = {};
  info.dwOSVersionInfoSize = sizeof info;
  if (!GetVersionExW(&info)) return;
  f->windowsBuild = std::to_string(info.dwBuildNumber);
  f->servicePack = sv::Narrow(info.szCSDVersion);
}

void Plugins(SystemFacts* f) {
  std::string bytes;
  if (!sv::ReadWholeFile(sv::ProgramFolder() + kSettingsFile, &bytes)) return;
  sv::IniText ini(bytes);
  for (const sv::IniSection& s : ini.Sections()) {
    if (s.name.empty() || s.name[0] != kPluginSectionMark) continue;
    std::string name, version;
    if (!s.Find("Name", &name) || name.empty()) name = s.name.substr(1);
    if (!s.Find("Version", &version) || version.empty()) version = sv::Ru(u8"не установлен");
    f->plugins.emplace_back(name, version);
  }
}

}  // namespace

SystemFacts GatherSystemFacts() {
  SystemFacts f;
  if (HWND active = ui::ActiveMdiChild()) f.activePlugin = ui::GetText(active);
  if (HWND client = ui::MainMdiClient())
    for (HWND child = GetWindow(client, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
      if (GetWindow(child, GW_OWNER) == nullptr) f.runningPlugins.push_back(ui::GetText(child));
  f.programVersion = sv::TakeOut(GetProgVersionStr);
  f.clientNumber = sv::TakeOut(GetProgramNum);
  f.windowsVersion = sv::TakeOut(GetWindowsVersion);
  WindowsBuild(&f);
  f.browserVersion = sv::TakeOut(GetMSIEVersion);
  f.programFolder = sv::ProgramFolder();
  Plugins(&f);
  for (const std::string& dll : sv::FindNames(f.programFolder + "*.dll", sv::EntryKind::kFiles))
    f.libraries.emplace_back(dll, GetDllModuleVersion((f.programFolder + dll).c_str()));
  f.patchKeeperVersion = GetDllModuleVersion((f.programFolder + "PatchKeeper.svx").c_str());
  return f;
}

}  // namespace dialogs
