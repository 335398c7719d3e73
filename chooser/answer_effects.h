// What an answer of the chooser's question dialogs does to the download
// manager: kept apart from the dialogs so it can be checked without windows.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "SolvikaDNF.h"

namespace chooser {

// The manager and the shell as the effects reach them.
struct ManagerCalls {
  std::function<uint32_t(const TSVNetParams* download, const TSVNetParams* after, const char* title, uint8_t itype,
                         const char* iparam)>
      createJob;
  std::function<void(uint8_t kind, int32_t value)> setParams;
  std::function<void()> showDownloads;  // brings the downloads plugin forward in the shell
};

// One job to create, with the caller's arguments as given.
struct JobArguments {
  const TSVNetParams* download = nullptr;
  const TSVNetParams* after = nullptr;
  const char* title = nullptr;
  uint8_t itype = 0;
  const char* iparam = nullptr;
};

// The answer the dialog reports when it could not be created or shown: the
// single question then goes ahead as a plain "download".
constexpr int kAnswerWhenSingleDialogFails = SVDNF_LOAD;
// The multi dialog has nothing to go on without the user's ticks.
constexpr int kAnswerWhenMultiDialogFails = SVDNF_CANCEL;

// Creates `jobs` in order when the answer is not cancel, switches the queue on
// for "download" and "in the background", and shows the downloads for
// "download". Returns the code of the last job created, 0 when none was.
// An answer outside 0..3 counts as cancel.
uint32_t ApplyAnswer(int answer, const std::vector<JobArguments>& jobs, const ManagerCalls& calls);

// An after-request record whose Size is 0 stands for "no after-request".
const TSVNetParams* AfterOrNone(const TSVNetParams* after);

// The arguments of one multi-job record; an After with Size 0 is "none".
JobArguments ArgumentsOf(const TSVDNFMultiJob& record);

}  // namespace chooser
