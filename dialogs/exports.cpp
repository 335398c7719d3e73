// Exports of SolvikaMainTools.dll: the shell's secondary windows by code.
#include <windows.h>

#include "access_forms.h"
#include "dump_form.h"
#include "guard.h"
#include "report_form.h"
#include "small_forms.h"
#include "svstring.h"

namespace {

constexpr int32_t kModuleVersion = 12;

enum ModalCode {
  kOptions = 1,
  kAccess = 2,
  kLetterWindow = 100,
  kPaySupportWindow = 101,
  kAbout = 1000,
  kDownloadPage = 1001,
};

enum WindowCode { kOpenBackup = 1, kCloseBackup = 101 };
// Uses of the library that SolvikaMain_ExecWindow hands back to the shell.
enum ReleasedUses { kKeepForWindow = 0, kReleaseCall = 1, kReleaseCallAndWindow = 2 };

// The backup window lives between SolvikaMain_ExecWindow(1) and (101), on
// the shell's thread.
dialogs::DumpForm* g_backup = nullptr;

}  // namespace

extern "C" {

__declspec(dllexport) int32_t __stdcall GetModuleVersion() { return kModuleVersion; }

__declspec(dllexport) void __stdcall SolvikaMain_ExecModalWindow(int32_t code) {
  sv::GuardVoid([&] {
    switch (code) {
      case kOptions: dialogs::OptionsForm().Show(); break;
      case kAccess: dialogs::ShowAccessManagement(); break;
      case kLetterWindow: dialogs::ReportForm().ShowLetter(); break;
      case kPaySupportWindow: dialogs::ReportForm().ShowPaySupport(); break;
      case kAbout: dialogs::AboutForm().Show(); break;
      case kDownloadPage: dialogs::WhereverForm().Show(); break;
    }
  });
}

__declspec(dllexport) int32_t __stdcall SolvikaMain_ExecWindow(int32_t code) {
  return sv::Guard<int32_t>(kReleaseCall, [&] {
    if (code == kOpenBackup) {
      if (g_backup && IsWindow(g_backup->Handle())) {
        ShowWindow(g_backup->Handle(), SW_RESTORE);
        SetForegroundWindow(g_backup->Handle());
        return static_cast<int32_t>(kReleaseCall);
      }
      g_backup = dialogs::DumpForm::Open();
      return static_cast<int32_t>(g_backup ? kKeepForWindow : kReleaseCall);
    }
    if (code == kCloseBackup) {
      if (!g_backup) return static_cast<int32_t>(kReleaseCall);
      delete g_backup;
      g_backup = nullptr;
      return static_cast<int32_t>(kReleaseCallAndWindow);
    }
    return static_cast<int32_t>(kReleaseCall);
  });
}

__declspec(dllexport) void __stdcall SolvikaMain_ExecExceptWindowEx(const char* header, const char* details) {
  sv::GuardVoid([&] { dialogs::ReportForm().ShowErrorLog(std::string(sv::Text(header)), std::string(sv::Text(details))); });
}

__declspec(dllexport) void __stdcall SolvikaMain_ExecExceptWindow(const char* text) {
  SolvikaMain_ExecExceptWindowEx(text, nullptr);
}

}  // extern "C"
