#include "catalogue_job.h"

#include "catalogue_model.h"

namespace patchkeeper {

CatalogueJob::CatalogueJob(HWND window, UINT_PTR timerId)
    : window_(window), timerId_(timerId), tag_(sv::catalogue::kJobTag) {
  params_.Size = sizeof(TSVNetParams);
  params_.AutoExtract = 1;
  params_.Tag = tag_.Get();
  params_.Timeout = sv::catalogue::kDownloadTimeoutMs;
}

CatalogueJob::~CatalogueJob() {
  timer_.Stop();
  if (job_) SVNetDestroy(&job_);
}

void CatalogueJob::RunQuery(const std::string& path) {
  timer_.Stop();
  if (!job_) SVNetCreateEx(&job_);
  path_ = sv::OwnedStr(path);
  params_.Method = SVNET_POSTORGET;
  params_.HostMode = host_.Get() ? SVNET_HOSTS_EXPLICIT : SVNET_HOSTS_SCRIPT;
  params_.Host = host_.Get();
  params_.Resume = 0;
  params_.Path = path_.Get();
  params_.Files = nullptr;
  params_.LocalDir = nullptr;
  params_.UploadFile = nullptr;
  params_.FormStream = nullptr;
  if (job_ && SVNetInitEx(&job_, params_) == SVNET_OK) SVNetRun(&job_);
  // Without a running worker SVNetIsDone is true at once: the first tick
  // reports the failure.
  timer_.Start(window_, timerId_, kJobPollMs);
}

void CatalogueJob::OnTimer() {
  if (!timer_.Running()) return;
  if (SVNetIsDone(&job_)) {
    timer_.Stop();
    if (onDone) onDone();
  } else if (onProgress) {
    onProgress();
  }
}

void CatalogueJob::Stop() {
  timer_.Stop();
  if (job_) SVNetStop(&job_);
}

bool CatalogueJob::Correct() { return job_ && SVNetIsCorrect(&job_) != 0; }

std::string CatalogueJob::Reply() {
  if (!job_) return std::string();
  return sv::TakeOut([&](SvStr* out) { SVNetGetReadStr(out, &job_); });
}

}  // namespace patchkeeper
