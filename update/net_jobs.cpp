#include "net_jobs.h"

#include "sv_abi.h"
#include "svstring.h"

namespace update {

namespace {

using T = TovrinFunction;
using CreateFn = int32_t(SVAPI*)(void**);
using DestroyFn = void(SVAPI*)(void**);
using PropFn = void(SVAPI*)(void**, int32_t, const char*);
using HostFn = void(SVAPI*)(void**, const char*);
using FlagFn = SvBool(SVAPI*)(void**);
using TextResultFn = void(SVAPI*)(SvStr*, void**);
using LengthResultFn = int32_t(SVAPI*)(void**);
using RunQueryFn = void(SVAPI*)(void**, const char*);
using RunSizeFn = void(SVAPI*)(void**, const char*, const char*);
using RunDownloadFn = void(SVAPI*)(void**, const char*, const char*, const char*);

constexpr JobFunctions kQuery = {T::CreateHttpQuery, T::DeleteHttpQuery, T::SetHttpQueryProp, T::SetHttpQueryHost,
                                 T::RunHttpQuery, T::isHttpQueryDone, T::isHttpQueryCorrect, T::GetHttpQueryResult};
constexpr JobFunctions kSize = {T::CreateHttpSize, T::DeleteHttpSize, T::SetHttpSizeProp, T::SetHttpSizeHost,
                                T::RunHttpSize, T::isHttpSizeDone, T::isHttpSizeCorrect, T::GetHttpSizeResult};
constexpr JobFunctions kDownload = {T::CreateDownload, T::DeleteDownload, T::SetDownloadProp, T::SetDownloadHost,
                                    T::RunDownload, T::isDownloadDone, T::isDownloadCorrect, T::GetDownloadResult};

// A flag call; false when the binding gave up.
bool Flag(TovrinFunction function, void** handle) {
  FARPROC address = BindTovrin(function);
  return address && reinterpret_cast<FlagFn>(reinterpret_cast<void*>(address))(handle) != 0;
}

// A byte count; 0 when the binding gave up or the count is negative.
uint64_t Length(TovrinFunction function, void** handle) {
  FARPROC address = BindTovrin(function);
  if (!address) return 0;
  const int32_t length = reinterpret_cast<LengthResultFn>(reinterpret_cast<void*>(address))(handle);
  return length > 0 ? uint64_t(length) : 0;
}

}  // namespace

TovrinJob::TovrinJob(const JobFunctions& functions, HWND window, UINT_PTR timerId)
    : functions_(functions), window_(window), timerId_(timerId) {
  CallTovrin<CreateFn>(functions_.create, &handle_);
}

TovrinJob::~TovrinJob() {
  timer_.Stop();
  if (handle_) CallTovrin<DestroyFn>(functions_.destroy, &handle_);
}

bool TovrinJob::Prepare() {
  correct_ = false;
  if (!CallTovrin<PropFn>(functions_.prop, &handle_, timeoutMs, tag.c_str())) return false;
  return CallTovrin<HostFn>(functions_.host, &handle_, host.c_str());
}

void TovrinJob::Tick() {
  if (!timer_.Running()) return;
  if (!Flag(functions_.done, &handle_)) {
    Progress();
    return;
  }
  timer_.Stop();
  correct_ = Flag(functions_.correct, &handle_);
  TakeResult(correct_);
  if (onDone) onDone();
}

QueryJob::QueryJob(HWND window, UINT_PTR timerId) : TovrinJob(kQuery, window, timerId) {}

void QueryJob::Run(const std::string& path) {
  result_.clear();
  Start([&] { return CallTovrin<RunQueryFn>(functions_.run, &handle_, path.c_str()); });
}

void QueryJob::TakeResult(bool correct) {
  result_.clear();
  if (!correct) return;
  SvStr out = nullptr;
  if (CallTovrin<TextResultFn>(functions_.result, &out, &handle_)) result_ = sv::Take(out);
}

SizeJob::SizeJob(HWND window, UINT_PTR timerId) : TovrinJob(kSize, window, timerId) {}

void SizeJob::Run(const std::string& path, const std::string& files) {
  result_ = 0;
  Start([&] { return CallTovrin<RunSizeFn>(functions_.run, &handle_, path.c_str(), files.c_str()); });
}

void SizeJob::TakeResult(bool correct) { result_ = correct ? Length(functions_.result, &handle_) : 0; }

DownloadJob::DownloadJob(HWND window, UINT_PTR timerId) : TovrinJob(kDownload, window, timerId) {}

void DownloadJob::Run(const std::string& localDir, const std::string& path, const std::string& files) {
  result_ = 0;
  Start([&] {
    return CallTovrin<RunDownloadFn>(functions_.run, &handle_, localDir.c_str(), path.c_str(), files.c_str());
  });
}

void DownloadJob::TakeResult(bool correct) { result_ = correct ? Length(functions_.result, &handle_) : 0; }

void DownloadJob::Progress() {
  if (onProgress) onProgress(Length(functions_.result, &handle_));
}

}  // namespace update
