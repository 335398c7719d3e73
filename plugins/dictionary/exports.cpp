// Exports of Lexikon.svx, the explanatory dictionary: the shell registers it
// through RegisterPlugin (or GetModuleVersion) and opens its window through
// RunPlugin. The settings go through the old utility library TovrinUtils.
#include <windows.h>

#include <string>

#include "SolvikaUtils.h"
#include "guard.h"
#include "lexikon_form.h"
#include "main_window.h"
#include "registration.h"
#include "svstring.h"
#include "sv_abi.h"

namespace {

std::string ReadName(const char* section) {
  return sv::TakeOut([&](SvStr* out) { GetIniString(out, section, lexikon::kNameKey, lexikon::kDefaultName); });
}

void Register() {
  SetIniString(lexikon::kPluginSection, lexikon::kLibraryKey, lexikon::kLibraryName);
  SetIniInt(lexikon::kPluginSection, lexikon::kVersionKey, lexikon::kModuleVersion);
  // Written back as read, so that missing values get their defaults.
  SetIniString(lexikon::kPluginSection, lexikon::kNameKey, ReadName(lexikon::kPluginSection).c_str());
  std::string group = sv::TakeOut([](SvStr* out) {
    GetIniString(out, lexikon::kPluginSection, lexikon::kSectionKey, lexikon::kDefaultSection);
  });
  SetIniString(lexikon::kPluginSection, lexikon::kSectionKey, group.c_str());
}

}  // namespace

SV_EXPORT void SVAPI RegisterPlugin(void) { sv::GuardVoid([] { Register(); }); }

SV_EXPORT HWND SVAPI RunPlugin(const char* pluginKey, HWND application) {
  return sv::Guard<HWND>(nullptr, [&]() -> HWND {
    std::string key(sv::Text(pluginKey));
    SetIniInt(key.c_str(), lexikon::kVersionKey, lexikon::kModuleVersion);
    return lexikon::LexikonForm::Open(ui::MainMdiClient(), application, key, ReadName(key.c_str()));
  });
}

SV_EXPORT int32_t SVAPI GetModuleVersion(void) {
  sv::GuardVoid([] { Register(); });
  return lexikon::kModuleVersion;
}
