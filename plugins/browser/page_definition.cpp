#include "page_definition.h"

#include "ini_text.h"

namespace svbrowser {

const std::string& PageDefinition::Value(std::string_view key) const {
  static const std::string kNone;
  if (key == "Name") return name;
  if (key == "Section") return section;
  if (key == "Topic") return topic;
  if (key == "URL") return url;
  return kNone;
}

namespace {

// A value ends at a line break, also a lone CR inside a line: what is copied
// into "Tovrin.ini" must never start a line of its own there.
void ReadValue(const sv::IniText& file, const char* key, std::string* value) {
  if (!file.Find(kPageSection, key, value)) return;
  size_t end = value->find_first_of("\r\n");
  if (end == std::string::npos) return;
  value->resize(end);
  while (!value->empty() && (value->back() == ' ' || value->back() == '\t')) value->pop_back();
}

}  // namespace

PageDefinition ReadPageDefinition(std::string_view fileBytes) {
  PageDefinition page;
  sv::IniText file(fileBytes);
  ReadValue(file, "Name", &page.name);
  ReadValue(file, "Section", &page.section);
  ReadValue(file, "Topic", &page.topic);
  ReadValue(file, "URL", &page.url);
  return page;
}

std::optional<std::string> PluginKeyOfFile(std::string_view fileName) {
  constexpr size_t kExtensionLength = sizeof(kPageFileExtension) - 1;
  if (fileName.size() <= kExtensionLength) return std::nullopt;
  std::string_view extension = fileName.substr(fileName.size() - kExtensionLength);
  if (!sv::SameName1251(extension, kPageFileExtension)) return std::nullopt;
  return "*" + std::string(fileName.substr(0, fileName.size() - kExtensionLength));
}

std::string PluginIdOfKey(std::string_view key) {
  size_t start = key.find_first_not_of('*');
  return start == std::string_view::npos ? std::string() : std::string(key.substr(start));
}

std::vector<SettingWrite> RegistrationWrites(const PageDefinition& page,
                                             const std::function<std::string(const char* key)>& current) {
  std::vector<SettingWrite> writes = {{"Library", kLibraryName}, {"Version", std::to_string(kModuleVersion)}};
  for (const char* key : kPageKeys)
    if (current(key).empty()) writes.push_back({key, page.Value(key)});
  return writes;
}

}  // namespace svbrowser
