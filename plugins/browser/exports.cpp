// Exports of SVBrowser.svx, the browser plugin: RegisterPlugin turns the
// page-definition files of the program folder into plugin sections,
// RunPlugin opens a browser window for one of them (or for any section that
// names this library, such as the shell's subscription pages).
#include <windows.h>

#include <string>

#include "browser_form.h"
#include "file_io.h"
#include "guard.h"
#include "main_window.h"
#include "page_definition.h"
#include "registration.h"
#include "svstring.h"
#include "sv_abi.h"

SV_EXPORT void SVAPI RegisterPlugin(void) {
  sv::GuardVoid([] { svbrowser::RegisterPages(sv::ProgramFolder()); });
}

SV_EXPORT HWND SVAPI RunPlugin(const char* pluginKey, HWND application) {
  return sv::Guard<HWND>(nullptr, [&]() -> HWND {
    return svbrowser::BrowserForm::Open(ui::MainMdiClient(), application, std::string(sv::Text(pluginKey)));
  });
}

SV_EXPORT int32_t SVAPI GetModuleVersion(void) { return svbrowser::kModuleVersion; }
