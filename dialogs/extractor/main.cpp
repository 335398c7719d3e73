// The extractor of a program backup, delivered as "SolvikaDump.dll" and
// copied beside each backup as "<name>.exe". Started, it restores
// "<name>.dump" into a folder the user chooses; "/to:<folder>" on the command
// line names the folder instead and prints the result rather than showing it.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <stdio.h>

#include <string>

#include "guard.h"
#include "restore.h"
#include "wide.h"

namespace {

constexpr wchar_t kTargetSwitch[] = L"/to:";
constexpr int kExitIncomplete = 1;
constexpr int kExitUnreadable = 2;
constexpr int kExitNoFolder = 3;

std::wstring TargetFromCommandLine() {
  int count = 0;
  LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
  std::wstring target;
  const size_t prefix = wcslen(kTargetSwitch);
  for (int i = 1; args && i < count; ++i)
    if (!_wcsnicmp(args[i], kTargetSwitch, prefix)) target = args[i] + prefix;
  LocalFree(args);
  return target;
}

std::wstring AskForFolder() {
  CoInitialize(nullptr);
  BROWSEINFOW info = {};
  std::wstring title = sv::Wide(sv::Ru(u8"Выберите папку для восстановления программы Solvika"));
  info.lpszTitle = title.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
  std::wstring folder;
  if (LPITEMIDLIST item = SHBrowseForFolderW(&info)) {
    wchar_t path[MAX_PATH] = {};
    if (SHGetPathFromIDListW(item, path)) folder = path;
    CoTaskMemFree(item);
  }
  CoUninitialize();
  return folder;
}

int Run() {
  std::wstring target = TargetFromCommandLine();
  const bool quiet = !target.empty();
  if (!quiet) target = AskForFolder();
  if (target.empty()) return kExitNoFolder;
  const std::string folder = sv::Narrow(target);
  restore::Report report = restore::RestoreBackup(restore::ArchiveBesideExecutable(), folder);
  const std::string text = restore::ReportText(report, folder);
  if (quiet) {
    std::string shown = text;
    for (char& c : shown) if (c == '\r') c = '\n';
    fputs(shown.c_str(), stdout);
    fputs("\n", stdout);
  } else {
    MessageBoxW(nullptr, sv::Wide(text).c_str(), L"Solvika",
                MB_TOPMOST | (report.Complete() ? MB_ICONINFORMATION : MB_ICONERROR));
  }
  if (!report.archiveRead) return kExitUnreadable;
  return report.Complete() ? 0 : kExitIncomplete;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return sv::Guard<int>(kExitUnreadable, Run); }
