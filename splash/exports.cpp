// Exports of TovrinLF.dll: the splash window shown while the shell starts.
#include <windows.h>

#include "guard.h"
#include "logo_form.h"
#include "sv_abi.h"

namespace {

constexpr int32_t kModuleVersion = 2;

// The one splash window of the process: the library's whole state.
HWND g_logo = nullptr;

void CloseLogo() {
  if (g_logo && IsWindow(g_logo)) DestroyWindow(g_logo);
  g_logo = nullptr;
}

}  // namespace

extern "C" {

int32_t SVAPI GetModuleVersion() { return kModuleVersion; }

void SVAPI ShowLogoForm(HWND application) {
  sv::GuardVoid([&] {
    // A second call replaces the splash; the old window must not stay on top
    // of everything with nobody left to close it.
    CloseLogo();
    g_logo = splash::CreateLogoForm(application);
  });
}

void SVAPI CloseLogoForm() { sv::GuardVoid(CloseLogo); }

}  // extern "C"
