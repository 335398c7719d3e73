// Exports of FetchKeeper.svx, the downloads plugin: the shell's plugin host
// calls RunPlugin for the window and GetModuleVersion for the version.
#include <windows.h>

#include <string>

#include "guard.h"
#include "main_form.h"
#include "main_window.h"
#include "svstring.h"
#include "sv_abi.h"

namespace {

constexpr int32_t kModuleVersion = 113;

}  // namespace

SV_EXPORT HWND SVAPI RunPlugin(const char* pluginKey, HWND application) {
  return sv::Guard<HWND>(nullptr, [&]() -> HWND {
    return fetchkeeper::MainForm::Open(ui::MainMdiClient(), application, std::string(sv::Text(pluginKey)));
  });
}

SV_EXPORT int32_t SVAPI GetModuleVersion(void) { return kModuleVersion; }
