// The wizard's three jobs over the old network API: a query (reply text), a
// size query (total bytes) and a download (bytes received). Each owns one
// job handle and is polled every 250 ms from a timer of the owner window.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "timer.h"
#include "tovrin_binding.h"

namespace update {

constexpr UINT kJobPollMs = 250;
constexpr char kDefaultJobTag[] = "Tovrin(2.00)";

// The old-API names of one job kind.
struct JobFunctions {
  TovrinFunction create, destroy, prop, host, run, done, correct, result;
};

class TovrinJob {
 public:
  // `window` receives WM_TIMER with `timerId`; it hands that to Tick().
  TovrinJob(const JobFunctions& functions, HWND window, UINT_PTR timerId);
  virtual ~TovrinJob();
  TovrinJob(const TovrinJob&) = delete;
  TovrinJob& operator=(const TovrinJob&) = delete;

  int32_t timeoutMs = 0;
  std::string tag = kDefaultJobTag;
  std::string host;
  std::function<void()> onDone;

  UINT_PTR TimerId() const { return timerId_; }
  // The last run ended and the handle reported it correct.
  bool Correct() const { return correct_; }
  void Tick();

 protected:
  // Properties and host, then the kind's run call; the timer starts when the
  // run call was made.
  template <class Run>
  void Start(Run run) {
    if (!Prepare()) return;
    if (run()) timer_.Start(window_, timerId_, kJobPollMs);
  }
  bool Prepare();
  virtual void TakeResult(bool correct) = 0;
  virtual void Progress() {}

  JobFunctions functions_;
  void* handle_ = nullptr;
  bool correct_ = false;

 private:
  HWND window_;
  UINT_PTR timerId_;
  ui::Timer timer_;
};

class QueryJob : public TovrinJob {
 public:
  QueryJob(HWND window, UINT_PTR timerId);
  void Run(const std::string& path);
  const std::string& Result() const { return result_; }

 private:
  void TakeResult(bool correct) override;
  std::string result_;
};

class SizeJob : public TovrinJob {
 public:
  SizeJob(HWND window, UINT_PTR timerId);
  void Run(const std::string& path, const std::string& files);
  uint64_t Result() const { return result_; }

 private:
  void TakeResult(bool correct) override;
  uint64_t result_ = 0;
};

class DownloadJob : public TovrinJob {
 public:
  DownloadJob(HWND window, UINT_PTR timerId);
  void Run(const std::string& localDir, const std::string& path, const std::string& files);
  uint64_t Result() const { return result_; }
  std::function<void(uint64_t received)> onProgress;

 private:
  void TakeResult(bool correct) override;
  void Progress() override;
  uint64_t result_ = 0;
};

}  // namespace update
