// Update packages: ".uiu" (general update, may carry an updater program and
// delete lists) and ".uip" (with its own target folder from "__params.").
//
// Packages and delete lists come from the network, so the paths inside them
// are not trusted: a delete-list line or an "OutDir" that is absolute, names
// a drive, or climbs out of the program folder through ".." is refused (the
// line is skipped; the package fails and stays). Entry names that would
// leave the working folder already make the unpacking fail.
#include "updates.h"

#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "SolvikaPU.h"
#include "SolvikaUtils.h"
#include "engine.h"
#include "folders.h"
#include "guard.h"
#include "lists.h"
#include "names.h"
#include "svstring.h"
#include "wide.h"

namespace svpu {

namespace {

const char kWorkFolder[] = "__temp";
const char kParams[] = "__params.";

// Names of the files matching `pattern`, in the order the search gives them,
// read before any of them is touched.
std::vector<std::string> FindFiles(const std::string& pattern) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW(sv::Wide(pattern).c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(sv::Narrow(fd.cFileName));
  } while (FindNextFileW(h, &fd));
  FindClose(h);
  return names;
}

std::string IniString(const std::string& file, const char* section, const char* key) {
  SvStr value = nullptr;
  GetCustomIniString(&value, section, key, file.c_str(), "");
  std::string text(value ? value : "", (size_t)sv::Length(value));
  sv::Release(value);
  return text;
}

// Creates the levels of `outDir` under the program folder one by one; the
// folder reached, ending in "\", or empty when a level cannot be created.
std::string MakeOutDir(const std::string& programDir, const std::string& outDir) {
  std::string current = programDir;
  size_t start = 0;
  while (start <= outDir.size()) {
    size_t cut = outDir.find('\\', start);
    if (cut == std::string::npos) cut = outDir.size();
    std::string part = outDir.substr(start, cut - start);
    start = cut + 1;
    if (part.empty()) continue;
    current += part;
    if (!DirExists(current) && !CreateDirectoryW(sv::Wide(current).c_str(), nullptr)) return std::string();
    current += "\\";
  }
  return current;
}

bool ApplyOwnFolderPackage(const std::string& programDir, const std::string& work, const std::string& package) {
  const std::string params = work + "\\" + kParams;
  const std::string outDir = IniString(params, "main", "OutDir");
  std::string target = programDir;
  if (!outDir.empty()) {
    if (!svzip::StaysInside(outDir)) return false;
    SVDeleteFile(params.c_str());
    target = MakeOutDir(programDir, outDir);
    if (target.empty()) return false;
  }
  if (!CopyEntries(work, target)) return false;
  SVDeleteFile(package.c_str());
  const std::string key = package.substr(package.rfind('\\') + 1);
  SetCustomIniInt("updates", key.c_str(), 1, (programDir + "SolvikaLC.ini").c_str());
  return true;
}

bool ApplyGeneralPackage(const std::string& programDir, const std::string& work, const std::string& package) {
  const std::string updater = work + "\\Update.exe";
  if (FileExists(updater)) {
    HINSTANCE started = ShellExecuteW(nullptr, L"open", sv::Wide(updater).c_str(), L"__test",
                                      sv::Wide(programDir).c_str(), SW_SHOWNORMAL);
    // The updater takes over with the unpacked files; this process ends here.
    if ((INT_PTR)started > 32) TerminateProcess(GetCurrentProcess(), 0);
  }
  if (!ProcessDeleteLists(programDir, work)) return false;
  if (!CopyEntries(work, programDir)) return false;
  SVDeleteFile(package.c_str());
  return true;
}

}  // namespace

bool ProcessDeleteLists(const std::string& programDir, const std::string& folder) {
  std::string base = folder;
  while (!base.empty() && base.back() == '\\') base.pop_back();
  for (const std::string& name : FindFiles(base + "\\*.dlt")) {
    const std::string list = base + "\\" + name;
    std::string text;
    if (!ReadWholeFile(list, &text)) return false;
    for (const std::string& line : SplitLines(text)) {
      if (!svzip::StaysInside(line)) continue;  // never outside the program folder
      SVDeleteFile((programDir + line).c_str());
    }
    SVDeleteFile(list.c_str());
  }
  return true;
}

bool ApplyPackage(const std::string& programDir, const std::string& package) {
  const std::string work = programDir + kWorkFolder;
  bool result = false;
  CreateDirectoryW(sv::Wide(work).c_str(), nullptr);
  if (UnZipFiles(package.c_str(), work.c_str(), "*.*") == SVZIP_OK) {
    if (package.size() >= 4 && package.compare(package.size() - 4, 4, ".uip") == 0)
      result = ApplyOwnFolderPackage(programDir, work, package);
    else
      result = ApplyGeneralPackage(programDir, work, package);
  }
  RemoveTree(work);
  return result;
}

void ApplyPendingUpdates(const std::string& programDir) {
  RemoveTree(programDir + kWorkFolder);
  for (const std::string& name : FindFiles(programDir + "*.uiu")) ApplyPackage(programDir, programDir + name);
  for (const std::string& name : FindFiles(programDir + "*.uip")) ApplyPackage(programDir, programDir + name);
  ProcessDeleteLists(programDir, programDir);
}

}  // namespace svpu

SV_EXPORT void SVAPI SolvikaStart(void) {
  sv::GuardVoid([] { svpu::ApplyPendingUpdates(svpu::ProgramFolder()); });
}

SV_EXPORT SvBool SVAPI ExtrUpdates(const char* package) {
  return sv::Guard<SvBool>(0, [&] {
    return (SvBool)svpu::ApplyPackage(svpu::ProgramFolder(), std::string(sv::Text(package)));
  });
}
