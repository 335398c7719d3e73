// TSVNetClass: one HTTP job of the network engine with a 250 ms poll timer
// on the UI thread, which calls the done handler once when the job has
// ended. TTovrinNetDownload is the shell's banner download, the same thing.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "SolvikaNet.h"

namespace shell {

constexpr unsigned kNetPollMs = 250;

class TSVNetClass {
 public:
  TSVNetClass();
  virtual ~TSVNetClass();
  TSVNetClass(const TSVNetClass&) = delete;
  TSVNetClass& operator=(const TSVNetClass&) = delete;

  // The job's parameters; strings set here are released with the object.
  void SetTimeout(int32_t ms) { params_.Timeout = ms; }
  void SetTag(const std::string& tag);
  void SetHost(const std::string& host);

  // Called once, from the poll timer, when the job has ended. The handler
  // may destroy this object.
  std::function<void()> onDone;
  // Called on every poll while the job runs.
  std::function<void()> onProgress;

  // Hands the parameters to the job and runs it; false when the engine
  // refused (the done handler then never comes).
  bool Start();
  bool Succeeded();
  // GET of `files` below `serverPath` into `localFolder`: from the given
  // host when one is set, else from the source hosts.
  bool Download(const std::string& localFolder, const std::string& serverPath, const std::string& files);

 private:
  static void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD);
  void Poll();
  void StopTimer();
  void PutParam(SvStr* field, const std::string& value);

  void* job_ = nullptr;
  UINT_PTR timer_ = 0;
  TSVNetParams params_{};
};

class TTovrinNetDownload : public TSVNetClass {};

}  // namespace shell
