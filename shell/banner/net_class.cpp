#include "net_class.h"

#include <map>

#include "svstring.h"
#include "SolvikaUtils.h"

namespace shell {

namespace {

constexpr int32_t kNetParamsSize = 48;

// Thread timers have no window to carry the object: the UI thread's timers
// of this module find their wrapper here.
std::map<UINT_PTR, TSVNetClass*>& Timers() {
  static std::map<UINT_PTR, TSVNetClass*> timers;
  return timers;
}

}  // namespace

TSVNetClass::TSVNetClass() {
  params_.Size = kNetParamsSize;
  params_.AutoExtract = 1;
  SetTag("Solvika " + sv::TakeOut([](SvStr* out) { GetProgVersionStr(out); }));
}

TSVNetClass::~TSVNetClass() {
  StopTimer();
  if (job_) SVNetDestroy(&job_);
  for (SvStr* s : {&params_.Path, &params_.Host, &params_.Files, &params_.LocalDir, &params_.UploadFile,
                   &params_.Tag}) {
    sv::Release(*s);
    *s = nullptr;
  }
}

void TSVNetClass::PutParam(SvStr* field, const std::string& value) { sv::PutStr(field, value); }

void TSVNetClass::SetTag(const std::string& tag) { PutParam(&params_.Tag, tag); }

void TSVNetClass::SetHost(const std::string& host) { PutParam(&params_.Host, host); }

void TSVNetClass::StopTimer() {
  if (!timer_) return;
  KillTimer(nullptr, timer_);
  Timers().erase(timer_);
  timer_ = 0;
}

bool TSVNetClass::Start() {
  if (!job_ && SVNetCreateEx(&job_) != SVNET_OK) return false;
  StopTimer();
  if (SVNetInitEx(&job_, params_) != SVNET_OK || SVNetRun(&job_) != SVNET_OK) return false;
  timer_ = SetTimer(nullptr, 0, kNetPollMs, &TSVNetClass::OnTimer);
  if (timer_) Timers()[timer_] = this;
  return timer_ != 0;
}

bool TSVNetClass::Succeeded() { return job_ && SVNetIsCorrect(&job_); }

bool TSVNetClass::Download(const std::string& localFolder, const std::string& serverPath,
                           const std::string& files) {
  params_.Method = SVNET_GET;
  params_.HostMode = sv::Length(params_.Host) > 0 ? SVNET_HOSTS_EXPLICIT : SVNET_HOSTS_SOURCE;
  params_.Resume = 0;
  PutParam(&params_.Path, serverPath);
  PutParam(&params_.Files, files);
  PutParam(&params_.LocalDir, localFolder);
  PutParam(&params_.UploadFile, "");
  params_.FormStream = nullptr;
  return Start();
}

void CALLBACK TSVNetClass::OnTimer(HWND, UINT, UINT_PTR id, DWORD) {
  auto found = Timers().find(id);
  if (found == Timers().end()) {
    KillTimer(nullptr, id);
    return;
  }
  found->second->Poll();
}

void TSVNetClass::Poll() {
  if (SVNetIsDone(&job_)) {
    StopTimer();
    if (onDone) {
      // The handler may free this object: nothing of it is touched after.
      std::function<void()> done = onDone;
      done();
    }
    return;
  }
  if (onProgress) onProgress();
}

}  // namespace shell
