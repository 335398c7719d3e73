// TSVDumpForm: the non-modal program backup window. It lists the program
// folder and packs it on worker threads (DumpWork), shows their counters on a
// timer, and copies the extractor beside the archive.
#pragma once

#include <windows.h>

#include <string>

#include "dump_work.h"
#include "win_handles.h"

namespace dialogs {

constexpr wchar_t kDumpFormClass[] = L"TSVDumpForm";

class DumpForm {
 public:
  // Creates and shows the window; null when it could not be made.
  static DumpForm* Open();
  ~DumpForm();
  HWND Handle() const { return window_; }

 private:
  enum class Phase { kIdle, kListing, kPacking };

  static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  INT_PTR Dispatch(UINT message, WPARAM wparam, LPARAM lparam);
  void OnInit();
  void OnCommand(int id);
  void Browse();
  void Start();
  void OnTimer();
  void ListingEnded();
  void PackingEnded();
  void ShowCounters(bool packing);
  void Fail(const std::string& text);
  void EnableInputs(bool enable);
  void StartWorker(LPTHREAD_START_ROUTINE body);
  void WaitWorker();
  void RemoveScratch();
  std::string Caption() const;

  static DWORD WINAPI ListBody(void* self);
  static DWORD WINAPI PackBody(void* self);

  HWND window_ = nullptr;
  HWND status_ = nullptr;
  Phase phase_ = Phase::kIdle;
  dump::DumpWork work_;
  std::string listPath_;
  sv::Handle listFile_;
  sv::Thread worker_;
  volatile int32_t phaseResult_ = 0;
  bool succeeded_ = false;
  sv::Module packer_;
  dump::ZipFilesProc zipFiles_ = nullptr;
};

}  // namespace dialogs
