// Exports of SolvikaDNF.dll: the question before a download, then the jobs,
// the queue and the shell as the answer says.
#include <windows.h>

#include <string>
#include <vector>

#include "SolvikaDNF.h"
#include "SolvikaDNM.h"
#include "answer_effects.h"
#include "guard.h"
#include "main_window.h"
#include "multi_query_form.h"
#include "query_form.h"
#include "sv_shell.h"
#include "svstring.h"

namespace {

constexpr int32_t kModuleVersion = 11;
// The dispatcher's command that opens the downloads plugin in the shell.
constexpr LPARAM kShowDownloadsCommand = 20;
constexpr int kNotShown = -1;

chooser::ManagerCalls RealManager() {
  chooser::ManagerCalls calls;
  calls.createJob = SVDNMCreateJob;
  calls.setParams = SVDNMSetParams;
  calls.showDownloads = [] {
    if (HWND main = ui::MainWindow()) PostMessageW(main, WM_SHELL_COMMAND, SVSHELL_RUN_COMMAND, kShowDownloadsCommand);
  };
  return calls;
}

// The dialogs belong to the application's main window when there is one.
HWND DialogOwner() { return ui::MainWindow(); }

uint32_t CreateJob(const TSVNetParams* download, const TSVNetParams* after, const char* title, uint8_t itype,
                   const char* iparam) {
  int answer = sv::Guard<int>(kNotShown, [&] {
    chooser::QueryForm form{std::string(sv::Text(title))};
    return form.Ask(DialogOwner());
  });
  if (answer == kNotShown) answer = chooser::kAnswerWhenSingleDialogFails;
  chooser::JobArguments job{download, chooser::AfterOrNone(after), title, itype, iparam};
  return chooser::ApplyAnswer(answer, {job}, RealManager());
}

uint32_t CreateMultiJob(const TSVDNFMultiJob* records) {
  const int32_t count = sv::ArrayLen(records);
  if (count <= 0) return 0;
  std::vector<std::string> titles;
  for (int32_t i = 0; i < count; ++i) titles.emplace_back(sv::Text(records[i].Title));

  chooser::MultiQueryForm form(std::move(titles));
  int answer = sv::Guard<int>(kNotShown, [&] { return form.Ask(DialogOwner()); });
  if (answer == kNotShown) answer = chooser::kAnswerWhenMultiDialogFails;

  std::vector<chooser::JobArguments> jobs;
  for (int32_t i = 0; i < count; ++i) {
    if (form.Ticked()[static_cast<size_t>(i)]) jobs.push_back(chooser::ArgumentsOf(records[i]));
  }
  return chooser::ApplyAnswer(answer, jobs, RealManager());
}

}  // namespace

extern "C" {

int32_t SVAPI GetModuleVersion() { return kModuleVersion; }

uint32_t SVAPI SVDNFCreateJob(const TSVNetParams* download, const TSVNetParams* after, const char* title,
                              uint8_t itype, const char* iparam) {
  return sv::Guard<uint32_t>(0, [&] { return CreateJob(download, after, title, itype, iparam); });
}

uint32_t SVAPI SVDNFCreateMultiJob(const TSVDNFMultiJob* jobs) {
  return sv::Guard<uint32_t>(0, [&] { return CreateMultiJob(jobs); });
}

}  // extern "C"
