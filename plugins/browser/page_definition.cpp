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

PageDefinition ReadPageDefinition(std::string_view fileBytes) {
  PageDefinition page;
  sv::IniText file(fileBytes);
  file.Find(kPageSection, "Name", &page.name);
  file.Find(kPageSection, "Section", &page.section);
  file.Find(kPageSection, "Topic", &page.topic);
  file.Find(kPageSection, "URL", &page.url);
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
