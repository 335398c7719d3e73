#include "library_start.h"

#include <windows.h>

#include <cstdint>

#include "SolvikaUtils.h"
#include "launch_rules.h"

namespace launcher {

namespace {

constexpr wchar_t kShellLibrary[] = L"SolvikaMain.dll";
constexpr wchar_t kUpdateWizardLibrary[] = L"SolvikaUpdate.dll";
constexpr char kStartFunction[] = "SolvikaStart";
// A module handle this small is a failure code, not a module.
constexpr uintptr_t kLastFailureHandle = 32;

constexpr wchar_t kMessageCaption[] = L"Solvika";
constexpr wchar_t kShellLibraryMissing[] =
    L"Не найдена библиотека: SolvikaMain.dll\rПрограмма не может быть запущена!\rОбновить программу?";
constexpr wchar_t kShellStartMissing[] =
    L"Не найдена точка входу в библиотеку: SolvikaMain.dll\rПрограмма не может быть запущена!\rОбновить программу?";
constexpr wchar_t kWizardLibraryMissing[] =
    L"Не найдена библиотека: SolvikaUpdate.dll\rПрограмма не может обновиться!\rПереустановите программу!";
constexpr wchar_t kWizardStartMissing[] =
    L"Не найдена точка входу в библиотеку: SolvikaUpdate.dll\rПрограмма не может обновиться!\rПереустановите "
    L"программу!";

// SVShellExe with an empty program name starts the running executable again.
constexpr char kThisProgram[] = "";

using StartFunction = void(SVAPI*)();

enum class StartOutcome { kRan, kNoLibrary, kNoStartFunction };

// Loads the library by name from the usual search path and runs its start
// function. The library is never freed: the process ends right after the run,
// and the library's windows and threads may still be winding down.
StartOutcome RunStartFunction(const wchar_t* library) {
  HMODULE module = LoadLibraryW(library);
  if (reinterpret_cast<uintptr_t>(module) <= kLastFailureHandle) return StartOutcome::kNoLibrary;
  auto start = reinterpret_cast<StartFunction>(GetProcAddress(module, kStartFunction));
  if (!start) return StartOutcome::kNoStartFunction;
  start();
  return StartOutcome::kRan;
}

}  // namespace

void StartShell() {
  StartOutcome outcome = RunStartFunction(kShellLibrary);
  if (outcome == StartOutcome::kRan) return;
  const wchar_t* text = outcome == StartOutcome::kNoLibrary ? kShellLibraryMissing : kShellStartMissing;
  if (MessageBoxW(nullptr, text, kMessageCaption, MB_YESNO | MB_ICONERROR) == IDYES)
    SVShellExe(kThisProgram, kUpdateSwitch);
}

void RunUpdateWizard() {
  StartOutcome outcome = RunStartFunction(kUpdateWizardLibrary);
  if (outcome != StartOutcome::kRan) {
    const wchar_t* text = outcome == StartOutcome::kNoLibrary ? kWizardLibraryMissing : kWizardStartMissing;
    MessageBoxW(nullptr, text, kMessageCaption, MB_OK | MB_ICONERROR);
  }
  // Whatever happened, the program comes up again in its updated form.
  SVShellExe(kThisProgram, kCloseAndStartSwitch);
}

}  // namespace launcher
