#include "restore.h"

#include <windows.h>

#include <map>

#include "cp1251_case.h"
#include "dump_format.h"
#include "entry_data.h"
#include "file_io.h"
#include "names.h"
#include "wide.h"
#include "win_io.h"

namespace restore {

namespace {

constexpr size_t kMaxFailuresShown = 10;

using EntryIndex = std::map<std::wstring, const svzip::ZipEntry*>;

std::wstring Folded(std::wstring name) {
  CharLowerBuffW(name.data(), static_cast<DWORD>(name.size()));
  return name;
}

bool ReadEntryText(svzip::FileSource& source, const svzip::ZipEntry& entry, std::string* text) {
  if (svzip::CheckSupported(entry) != 0) return false;
  return svzip::ReadEntryData(source, entry, [&](const char* data, size_t count) {
           text->append(data, count);
           return true;
         }) == 0;
}

// Writes one entry to `path`; the file is removed again when anything fails.
bool WriteEntry(svzip::FileSource& source, const svzip::ZipEntry& entry, const std::wstring& path, uint64_t* written) {
  if (svzip::CheckSupported(entry) != 0) return false;
  svzip::FileWriter out;
  if (!out.Create(path)) return false;
  int32_t result = svzip::ReadEntryData(source, entry, [&](const char* data, size_t count) {
    return out.Write(data, count);
  });
  *written = out.Position();
  if (result != 0 || !out.Finish()) {
    out.Close();
    DeleteFileW(path.c_str());
    return false;
  }
  return true;
}

}  // namespace

std::string ArchiveBesideExecutable() {
  std::string self = sv::Narrow(sv::ExecutablePath());
  size_t dot = self.find_last_of(".\\");
  if (dot != std::string::npos && self[dot] == '.') self.resize(dot);
  return self + dump::kArchiveExtension;
}

Report RestoreBackup(const std::string& archive, const std::string& target) {
  Report report;
  svzip::FileSource source;
  svzip::ZipDirectory directory;
  if (!source.Open(sv::Wide(archive)) || !svzip::ReadDirectory(source, &directory)) return report;

  EntryIndex entries;
  for (const svzip::ZipEntry& entry : directory.entries) entries.emplace(Folded(svzip::DecodeName(entry)), &entry);
  auto list = entries.find(Folded(sv::Wide(dump::kListEntryName)));
  std::string listText;
  std::vector<dump::ListedFile> files;
  if (list == entries.end() || !ReadEntryText(source, *list->second, &listText) || !dump::ParseList(listText, &files))
    return report;
  report.archiveRead = true;

  const std::string folder = sv::WithSlash(target);
  for (const dump::ListedFile& file : files) {
    auto entry = entries.find(Folded(sv::Wide(dump::EntryName(file.path))));
    // A list line must not lead out of the target folder, whoever made it.
    if (entry == entries.end() || !svzip::IsSafeRelativePath(file.path)) {
      report.failed.push_back(file.path);
      continue;
    }
    const std::string path = folder + file.path;
    size_t slash = path.find_last_of('\\');
    sv::CreateFolderTree(path.substr(0, slash));
    uint64_t written = 0;
    if (!WriteEntry(source, *entry->second, sv::Wide(path), &written) || written != file.size) {
      report.failed.push_back(file.path);
      continue;
    }
    ++report.restored;
  }
  return report;
}

std::string ReportText(const Report& report, const std::string& target) {
  if (!report.archiveRead) return sv::Ru(u8"Не удалось прочитать резервную копию программы!");
  std::string text = sv::Ru(u8"Восстановлено файлов: ") + std::to_string(report.restored) + sv::Ru(u8"\rПапка: ") + target;
  if (report.failed.empty()) return sv::Ru(u8"Программа восстановлена!\r") + text;
  text = sv::Ru(u8"Программа восстановлена не полностью!\r") + text + sv::Ru(u8"\rНе восстановлены: ") +
         std::to_string(report.failed.size());
  for (size_t i = 0; i < report.failed.size() && i < kMaxFailuresShown; ++i) text += "\r - " + report.failed[i];
  return text;
}

}  // namespace restore
