// Exports of PatchKeeper.svx, the plugin catalogue: the shell's plugin host
// calls RunPlugin for the window; the shell asks the catalogue to refresh
// itself or to install a named plugin.
#include <windows.h>

#include <string>

#include "catalogue_form.h"
#include "catalogue_model.h"
#include "guard.h"
#include "main_window.h"
#include "svstring.h"
#include "sv_abi.h"

SV_EXPORT HWND SVAPI RunPlugin(const char* /*pluginKey*/, HWND application) {
  return sv::Guard<HWND>(nullptr, [&]() -> HWND {
    return patchkeeper::CatalogueForm::Open(ui::MainMdiClient(), application);
  });
}

SV_EXPORT void SVAPI PatchKeeperRefresh(HWND window) {
  sv::GuardVoid([&] {
    if (auto* form = patchkeeper::CatalogueForm::Resolve(window)) form->Refresh();
  });
}

SV_EXPORT void SVAPI PatchKeeperDownload(HWND window, const char* pluginId) {
  sv::GuardVoid([&] {
    if (auto* form = patchkeeper::CatalogueForm::Resolve(window)) form->Download(std::string(sv::Text(pluginId)));
  });
}

SV_EXPORT int32_t SVAPI GetModuleVersion(void) { return static_cast<int32_t>(sv::catalogue::kModuleVersion); }
