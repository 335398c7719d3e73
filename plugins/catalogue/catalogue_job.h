// The catalogue's network job: one SolvikaNet job, made on first use, that
// runs one query at a time and is watched by a 250 ms timer of the owner
// window; when the job is done the done callback runs, until then the
// progress callback on every tick.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "SolvikaNet.h"
#include "svstring.h"
#include "timer.h"

namespace patchkeeper {

constexpr UINT kJobPollMs = 250;

class CatalogueJob {
 public:
  // `window` receives WM_TIMER with `timerId` and hands it to OnTimer().
  CatalogueJob(HWND window, UINT_PTR timerId);
  ~CatalogueJob();
  CatalogueJob(const CatalogueJob&) = delete;
  CatalogueJob& operator=(const CatalogueJob&) = delete;

  std::function<void()> onDone;
  std::function<void()> onProgress;

  // Starts a POSTorGET of `path` with the reply to memory. A job that could
  // not be made or started still reports itself done (and not correct) on
  // the next tick, so the caller's wait always ends.
  void RunQuery(const std::string& path);
  void OnTimer();
  // A host tried alone (HostMode 3) instead of the script hosts; empty: those.
  void SetHost(const std::string& host) { host_ = host.empty() ? sv::OwnedStr() : sv::OwnedStr(host); }
  // Stops a running query without calling back; the job stays for reuse.
  void Stop();

  UINT_PTR TimerId() const { return timerId_; }
  bool Running() const { return timer_.Running(); }
  // After the done callback: the query succeeded, and its reply.
  bool Correct();
  std::string Reply();

 private:
  HWND window_;
  UINT_PTR timerId_;
  ui::Timer timer_;
  void* job_ = nullptr;
  TSVNetParams params_{};
  sv::OwnedStr tag_, path_, host_;
};

}  // namespace patchkeeper
