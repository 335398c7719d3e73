// Exports of SolvikaUpdate.dll: the update wizard the launcher starts in
// update mode instead of the shell.
#include <windows.h>

#include "SolvikaNet.h"
#include "app.h"
#include "guard.h"
#include "sv_abi.h"
#include "update_form.h"

namespace {

constexpr int32_t kModuleVersion = 3;
constexpr char kApplicationTitle[] = "Solvika Update";

}  // namespace

extern "C" {

int32_t SVAPI GetModuleVersion() { return kModuleVersion; }

void SVAPI SolvikaStart() {
  sv::GuardVoid([] {
    ui::ApplicationObject application;
    application.Create(kApplicationTitle);
    // Jobs only: the wizard needs no network main thread.
    SolvikaNetStart(application.Handle(), SVNET_VERSION_JOBS_ONLY);
    {
      update::UpdateForm form;
      form.Run(application.Handle());
    }
    SolvikaNetStop();
  });
}

}  // extern "C"
