#include "registration.h"

#include "SolvikaUtils.h"
#include "file_io.h"
#include "page_definition.h"
#include "svstring.h"

namespace svbrowser {

void RegisterPages(const std::string& programFolder) {
  std::string pattern = programFolder + "*" + kPageFileExtension;
  for (const std::string& name : sv::FindNames(pattern, sv::EntryKind::kFiles)) {
    std::optional<std::string> key = PluginKeyOfFile(name);
    if (!key) continue;
    // An unreadable file registers the defaults, as an empty one does.
    std::string bytes;
    PageDefinition page = sv::ReadWholeFile(programFolder + name, &bytes) ? ReadPageDefinition(bytes)
                                                                          : PageDefinition();
    auto current = [&](const char* setting) {
      return sv::TakeOut([&](SvStr* out) { GetIniString(out, key->c_str(), setting, ""); });
    };
    for (const SettingWrite& write : RegistrationWrites(page, current))
      SetIniString(key->c_str(), write.key.c_str(), write.value.c_str());
  }
}

}  // namespace svbrowser
