// Timing program for tools/bench/update_bench.sh (not a test). Two ways of
// fetching the same update content, each printing "MS <t>":
//   update_bench engine <host:port> <local folder> <file list>
//     the network engine's own download job: "client/plugins/" and the list,
//     archives unpacked on arrival, as the wizard asks for them;
//   update_bench wizard <host:port> <program folder>
//     the update wizard (update_runner.exe in the program folder) driven as
//     a person does: from pressing "Старт >>" to the percentage label
//     showing "100%" (the download; "DOWNLOAD <t>") and to the "Финиш"
//     button (with the statistics query after it; "MS <t>").
#include <windows.h>

#include <cstdio>
#include <string>

#include "SolvikaNet.h"
#include "process_kit.h"
#include "ui_kit.h"
#include "wide.h"

namespace {

constexpr DWORD kWaitMs = 600000;
constexpr DWORD kPollMs = 5;
// Looking for the wizard's buttons asks its window thread for texts: polled
// this often, the looking does not slow down the wizard it measures.
constexpr DWORD kWizardPollMs = 50;
constexpr char kPath[] = "client/plugins/";

double NowMs() {
  LARGE_INTEGER f, t;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&t);
  return t.QuadPart * 1000.0 / f.QuadPart;
}

int Engine(const char* host, const char* folder, const char* files) {
  SolvikaNetStart(nullptr, 65535);
  void* job = nullptr;
  SVNetCreateEx(&job);
  SVNetInit(&job, 0, "SolvikaUpdate 3");
  SVNetSetHost(&job, host);
  SVNetSetAutoExtr(&job, 1);
  double start = NowMs();
  SVNetRunDownload(&job, folder, kPath, files);
  while (!SVNetIsDone(&job)) Sleep(kPollMs);
  double ms = NowMs() - start;
  std::printf("MS %.1f OK %d BYTES %lld\n", ms, (int)SVNetIsCorrect(&job), (long long)SVNetGetReadLengt(&job));
  SVNetDestroy(&job);
  SolvikaNetStop();
  return 0;
}

int Wizard(const char* host, const std::string& folder) {
  uikit::RunningProcess wizard;
  if (!wizard.Start(folder + "update_runner.exe", std::string("-tnnetdefaulthost:") + host, folder)) return 3;
  HWND form = uikit::WaitTopWindow(L"TForm1", nullptr, wizard.Id(), kWaitMs);
  if (!form) return 4;
  const std::string startCaption = sv::Ru(u8"Старт >>"), finish = sv::Ru(u8"Финиш");
  HWND start = nullptr;
  for (DWORD waited = 0; waited < kWaitMs; waited += kWizardPollMs) {
    start = uikit::FindChild(form, startCaption);
    if (start && IsWindowEnabled(start)) break;
    Sleep(kWizardPollMs);
  }
  if (!start || !IsWindowEnabled(start)) return 5;
  double begin = NowMs();
  uikit::Press(form, startCaption);
  HWND done = nullptr;
  double downloaded = 0;
  const std::string full = "100%";
  while (!(done = uikit::FindChild(form, finish)) && NowMs() - begin < kWaitMs) {
    if (!downloaded && uikit::FindChild(form, full)) downloaded = NowMs() - begin;
    Sleep(kWizardPollMs);
  }
  double ms = NowMs() - begin;
  if (!downloaded) downloaded = ms;
  std::printf("MS %.1f OK %d DOWNLOAD %.1f\n", ms, done ? 1 : 0, downloaded);
  if (done) uikit::Press(form, finish);
  wizard.WaitExit(kWaitMs);
  return done ? 0 : 6;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 5 && std::string(argv[1]) == "engine") return Engine(argv[2], argv[3], argv[4]);
  if (argc == 4 && std::string(argv[1]) == "wizard") return Wizard(argv[2], argv[3]);
  std::fprintf(stderr, "usage: update_bench engine <host> <folder> <files> | wizard <host> <folder>\n");
  return 2;
}
