#include "catalogue_model.h"

#include <algorithm>

#include "cp1251_case.h"
#include "decimal.h"

namespace sv::catalogue {
namespace {

constexpr size_t kDirectoryFields = 2;
constexpr size_t kPluginFields = 10;
const char kDirectoryIndent[] = "    ";

std::vector<std::string> SplitTabs(std::string_view line, size_t count) {
  std::vector<std::string> fields;
  size_t start = 0;
  while (fields.size() < count) {
    size_t end = line.find('\t', start);
    if (end == std::string_view::npos) end = line.size();
    fields.emplace_back(start <= line.size() ? line.substr(start, end - start) : std::string_view());
    start = end + 1;
    if (end == line.size()) break;
  }
  fields.resize(count);
  return fields;
}

uint32_t Number(const std::string& text) { return IsDecimal(text) ? ParseDecimal(text) : 0; }

}  // namespace

std::vector<Entry> ParseReadlist3(std::string_view reply) {
  enum class Section { kNone, kDirs, kPlugins } section = Section::kNone;
  std::vector<Entry> entries;
  size_t pos = 0;
  while (pos < reply.size()) {
    size_t end = reply.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = reply.size();
    std::string_view line = reply.substr(pos, end - pos);
    pos = end;
    if (pos < reply.size()) pos += (reply[pos] == '\r' && pos + 1 < reply.size() && reply[pos + 1] == '\n') ? 2 : 1;

    if (line == "DIRLIST") { section = Section::kDirs; continue; }
    if (line == "PLUGINLIST") { section = Section::kPlugins; continue; }
    if (line.empty() || line[0] != '\t') { section = Section::kNone; continue; }
    line.remove_prefix(1);
    Entry e;
    if (section == Section::kDirs) {
      const auto f = SplitTabs(line, kDirectoryFields);
      e.kind = Kind::kDirectory;
      e.number = Number(f[0]);
      e.title = kDirectoryIndent + ToUpper1251(f[1]);
      e.status = kInstalled;
      e.image = 0;
      entries.push_back(std::move(e));
    } else if (section == Section::kPlugins) {
      const auto f = SplitTabs(line, kPluginFields);
      e.kind = Kind::kPlugin;
      e.title = f[0];
      e.key = f[1];
      e.files = f[2];
      e.number = Number(f[3]);
      e.description = f[4];
      e.version = (uint16_t)Number(f[5]);
      e.packages = f[6];
      e.group = Number(f[7]);
      e.date = f[8];
      e.required = Number(f[9]);
      entries.push_back(std::move(e));
    }
  }
  return entries;
}

void ComputeStatus(Entry& plugin, const CatalogueFacts& facts) {
  if (plugin.status != kUndecided) return;
  if (facts.DownloadPending(plugin.key)) { plugin.status = kDownloading; return; }
  if (facts.RestartMarked(plugin.key)) { plugin.status = kRestartNeeded; return; }
  if (!plugin.key.empty() && !facts.LibraryPresent(plugin.key)) plugin.status = kNotInstalled;

  std::string download_list, targets, name, target;
  for (const std::string& entry : SplitUpdateList(plugin.packages))
    if (AcceptUpdateEntry(entry, facts, PlusEntries::kRejected, &name, &target)) {
      download_list += "lib\\" + name + "/";
      targets += target + "/";
    }
  for (const std::string& entry : SplitUpdateList(plugin.files))
    if (AcceptUpdateEntry(entry, facts, PlusEntries::kRejected, &name, &target)) {
      download_list += name + "/";
      targets += target + "/";
    }
  plugin.packages = download_list;
  plugin.files = targets;
  const bool any = !download_list.empty();
  if (plugin.status == kUndecided) plugin.status = any ? kNotUpdated : kInstalled;
  else if (plugin.status == kNotInstalled && !any) plugin.status = kInstalled;
}

void ComputeStatuses(std::vector<Entry>& entries, uint32_t program_version, const CatalogueFacts& facts) {
  for (Entry& e : entries) {
    if (e.kind != Kind::kPlugin) continue;
    e.status = e.required > program_version ? kOldProgram : kUndecided;
    ComputeStatus(e, facts);
  }
}

std::vector<Entry> OrderEntries(std::vector<Entry> entries, const TitleCompare& compare) {
  std::stable_sort(entries.begin(), entries.end(), [&](const Entry& a, const Entry& b) {
    if (a.kind != b.kind) return a.kind < b.kind;
    return compare(a.title, b.title) < 0;
  });
  std::vector<Entry> out;
  for (const Entry& dir : entries) {
    if (dir.kind != Kind::kDirectory) continue;
    out.push_back(dir);
    for (const Entry& p : entries)
      if (p.kind == Kind::kPlugin && p.group == dir.number) out.push_back(p);
  }
  return out;
}

std::string VersionText(uint16_t version) {
  std::string digits = std::to_string(version);
  if (digits.size() > 2) digits.insert(digits.size() - 2, ".");
  return digits;
}

std::string MemoText(std::string_view description) {
  std::string out;
  for (size_t i = 0; i < description.size(); ++i) {
    if (description[i] == '/' && i + 1 < description.size() && description[i + 1] == '/') {
      out += "\r\n";
      ++i;
    } else {
      out += description[i];
    }
  }
  return out;
}

const StatusLook& LookOf(int status) {
  // "Установлен", "Не обновлен" / "Обновить", "Не установлен" / "Установить",
  // "Перезагрузите программу" / "Инсталл", "Старая программа" / "Инфо",
  // "Идет загрузка..."
  static const StatusLook kLooks[] = {
      {"\xd3\xf1\xf2\xe0\xed\xee\xe2\xeb\xe5\xed", true, 0, 0, 0, nullptr},
      {"\xcd\xe5 \xee\xe1\xed\xee\xe2\xeb\xe5\xed", false, 204, 119, 0, "\xce\xe1\xed\xee\xe2\xe8\xf2\xfc"},
      {"\xcd\xe5 \xf3\xf1\xf2\xe0\xed\xee\xe2\xeb\xe5\xed", false, 255, 0, 0,
       "\xd3\xf1\xf2\xe0\xed\xee\xe2\xe8\xf2\xfc"},
      {"\xcf\xe5\xf0\xe5\xe7\xe0\xe3\xf0\xf3\xe7\xe8\xf2\xe5 \xef\xf0\xee\xe3\xf0\xe0\xec\xec\xf3", false, 0, 160, 0,
       "\xc8\xed\xf1\xf2\xe0\xeb\xeb"},
      {"\xd1\xf2\xe0\xf0\xe0\xff \xef\xf0\xee\xe3\xf0\xe0\xec\xec\xe0", false, 192, 192, 192, "\xc8\xed\xf4\xee"},
      {"\xc8\xe4\xe5\xf2 \xe7\xe0\xe3\xf0\xf3\xe7\xea\xe0...", false, 0, 0, 255, nullptr},
  };
  static const StatusLook kNone = {"", true, 0, 0, 0, nullptr};
  return status >= 0 && status < (int)(sizeof(kLooks) / sizeof(kLooks[0])) ? kLooks[status] : kNone;
}

std::string RestartQuestion(std::string_view name) {
  // Для завершения установки плагина "name"\rтребуется перезапустить
  // программу!\r\rПерезапустить программу сейчас?
  return std::string("\xc4\xeb\xff \xe7\xe0\xe2\xe5\xf0\xf8\xe5\xed\xe8\xff \xf3\xf1\xf2\xe0\xed\xee\xe2\xea\xe8 "
                     "\xef\xeb\xe0\xe3\xe8\xed\xe0 \"") +
         std::string(name) +
         "\"\r\xf2\xf0\xe5\xe1\xf3\xe5\xf2\xf1\xff \xef\xe5\xf0\xe5\xe7\xe0\xef\xf3\xf1\xf2\xe8\xf2\xfc "
         "\xef\xf0\xee\xe3\xf0\xe0\xec\xec\xf3!\r\r\xcf\xe5\xf0\xe5\xe7\xe0\xef\xf3\xf1\xf2\xe8\xf2\xfc "
         "\xef\xf0\xee\xe3\xf0\xe0\xec\xec\xf3 \xf1\xe5\xe9\xf7\xe0\xf1?";
}

std::string OldProgramMessage(std::string_view name) {
  // Для установки плагина "name"\rтребуется обновить программу "Сольвика".
  // \r\rПрограмму "Сольвика" можно обновить в начале этого списка.\r\r
  // Запустите обновление программы, дождитесь его завершения,\r
  // перезапустите программу, и тогда Вы сможете установить "name".
  const std::string product = "\"\xd1\xee\xeb\xfc\xe2\xe8\xea\xe0\"";
  return std::string("\xc4\xeb\xff \xf3\xf1\xf2\xe0\xed\xee\xe2\xea\xe8 \xef\xeb\xe0\xe3\xe8\xed\xe0 \"") +
         std::string(name) + "\"\r\xf2\xf0\xe5\xe1\xf3\xe5\xf2\xf1\xff \xee\xe1\xed\xee\xe2\xe8\xf2\xfc "
         "\xef\xf0\xee\xe3\xf0\xe0\xec\xec\xf3 " + product + ".\r\r\xcf\xf0\xee\xe3\xf0\xe0\xec\xec\xf3 " + product +
         " \xec\xee\xe6\xed\xee \xee\xe1\xed\xee\xe2\xe8\xf2\xfc \xe2 \xed\xe0\xf7\xe0\xeb\xe5 \xfd\xf2\xee\xe3\xee "
         "\xf1\xef\xe8\xf1\xea\xe0.\r\r\xc7\xe0\xef\xf3\xf1\xf2\xe8\xf2\xe5 \xee\xe1\xed\xee\xe2\xeb\xe5\xed\xe8\xe5 "
         "\xef\xf0\xee\xe3\xf0\xe0\xec\xec\xfb, \xe4\xee\xe6\xe4\xe8\xf2\xe5\xf1\xfc \xe5\xe3\xee "
         "\xe7\xe0\xe2\xe5\xf0\xf8\xe5\xed\xe8\xff,\r\xef\xe5\xf0\xe5\xe7\xe0\xef\xf3\xf1\xf2\xe8\xf2\xe5 "
         "\xef\xf0\xee\xe3\xf0\xe0\xec\xec\xf3, \xe8 \xf2\xee\xe3\xe4\xe0 \xc2\xfb \xf1\xec\xee\xe6\xe5\xf2\xe5 "
         "\xf3\xf1\xf2\xe0\xed\xee\xe2\xe8\xf2\xfc \"" + std::string(name) + "\".";
}

DownloadJob MakeDownloadJob(const Entry& plugin, std::string_view program_id) {
  DownloadJob job;
  job.files = plugin.packages;
  job.after_path = "client/plugins.php?act=download&id=" + std::to_string(plugin.number) + "&stat=" +
                   std::string(program_id);
  job.title = "\xcf\xeb\xe0\xe3\xe8\xed: " + plugin.title;  // "Плагин: "
  job.iparam = plugin.key;
  return job;
}

}  // namespace sv::catalogue
