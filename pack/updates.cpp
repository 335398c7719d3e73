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
#include "file_io.h"
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

std::string IniString(const std::string& file, const char* section, const char* key) {
  return sv::TakeOut([&](SvStr* value) { GetCustomIniString(value, section, key, file.c_str(), ""); });
}

// Creates the levels of `outDir` (empty levels skipped) under the program
// folder; the folder reached, ending in "\", or empty when a level cannot be
// created.
std::string MakeOutDir(const std::string& programDir, const std::string& outDir) {
  std::string current = programDir;
  size_t start = 0;
  while (start <= outDir.size()) {
    size_t cut = outDir.find('\\', start);
    if (cut == std::string::npos) cut = outDir.size();
    std::string part = outDir.substr(start, cut - start);
    start = cut + 1;
    if (!part.empty()) current += part + "\\";
  }
  return sv::CreateFolderTree(current) ? current : std::string();
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
  if (sv::FileExists(updater)) {
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
  for (const std::string& name : sv::FindNames(base + "\\*.dlt", sv::EntryKind::kFiles)) {
    const std::string list = base + "\\" + name;
    std::string text;
    if (!sv::ReadWholeFile(list, &text)) return false;
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
  sv::RemoveFolderTree(work);
  return result;
}

void ApplyPendingUpdates(const std::string& programDir) {
  sv::RemoveFolderTree(programDir + kWorkFolder);
  for (const std::string& name : sv::FindNames(programDir + "*.uiu", sv::EntryKind::kFiles))
    ApplyPackage(programDir, programDir + name);
  for (const std::string& name : sv::FindNames(programDir + "*.uip", sv::EntryKind::kFiles)) ApplyPackage(programDir, programDir + name);
  ProcessDeleteLists(programDir, programDir);
}

}  // namespace svpu

SVPU_API void SVAPI SolvikaStart(void) {
  sv::GuardVoid([] { svpu::ApplyPendingUpdates(sv::ProgramFolder()); });
}

SVPU_API SvBool SVAPI ExtrUpdates(const char* package) {
  return sv::Guard<SvBool>(0, [&] {
    return (SvBool)svpu::ApplyPackage(sv::ProgramFolder(), std::string(sv::Text(package)));
  });
}
