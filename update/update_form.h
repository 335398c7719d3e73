// The update wizard window "TForm1": asks the server for the update list,
// shows the total size, downloads on "Старт >>" and reports completion.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "dialog.h"
#include "net_jobs.h"

namespace update {

constexpr wchar_t kUpdateFormClass[] = L"TForm1";

class UpdateForm : public ui::Dialog {
 public:
  // Runs the wizard modally over `owner` until its close button.
  void Run(HWND owner);

 private:
  enum class QueryPhase { List, Stat };

  void OnInitDialog() override;
  bool OnCommand(int id, int code, HWND control) override;
  bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, INT_PTR* result) override;

  void OnQueryDone();
  void OnListReceived();
  void OnSizeDone();
  void OnStart();
  void OnDownloadProgress(uint64_t received);
  void OnDownloadDone();
  void OnFinished();

  void ShowNoNetwork();
  void SetItem(int id, const std::string& text1251);
  void ShowItem(int id, bool visible);
  void ShowProgressGroup(bool visible);
  std::string Caption();

  std::unique_ptr<QueryJob> query_;
  std::unique_ptr<SizeJob> size_;
  std::unique_ptr<DownloadJob> download_;
  QueryPhase queryPhase_ = QueryPhase::List;
  std::string programFolder_;
  std::string files_;
  std::string downloadList_;
  uint64_t total_ = 0;
  uint64_t received_ = 0;
  DWORD startTick_ = 0;
};

}  // namespace update
