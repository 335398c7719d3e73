#include "answer_effects.h"

#include "SolvikaDNM.h"

namespace chooser {

namespace {

// SVDNMSetParams(SVDNM_SET_ENABLED, kQueueOnKeepFailed) switches the queue on;
// the value 1 would also re-queue failed jobs, which a new download must not do.
constexpr int32_t kQueueOnKeepFailed = 2;

bool IsKnownAnswer(int answer) { return answer >= SVDNF_CANCEL && answer <= SVDNF_ADD_ONLY; }

}  // namespace

uint32_t ApplyAnswer(int answer, const std::vector<JobArguments>& jobs, const ManagerCalls& calls) {
  if (!IsKnownAnswer(answer) || answer == SVDNF_CANCEL) return 0;
  uint32_t last = 0;
  for (const JobArguments& job : jobs) {
    if (calls.createJob) last = calls.createJob(job.download, job.after, job.title, job.itype, job.iparam);
  }
  if (answer == SVDNF_LOAD || answer == SVDNF_LOAD_BACKGROUND) {
    if (calls.setParams) calls.setParams(SVDNM_SET_ENABLED, kQueueOnKeepFailed);
  }
  if (answer == SVDNF_LOAD && calls.showDownloads) calls.showDownloads();
  return last;
}

const TSVNetParams* AfterOrNone(const TSVNetParams* after) {
  return after && after->Size == 0 ? nullptr : after;
}

JobArguments ArgumentsOf(const TSVDNFMultiJob& record) {
  JobArguments a;
  a.download = &record.Download;
  a.after = AfterOrNone(&record.After);
  a.title = record.Title;
  a.itype = record.IType;
  a.iparam = record.IParam;
  return a;
}

}  // namespace chooser
