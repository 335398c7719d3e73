// TSVExceptForm: the error log, the letter to the developers and the letter
// to the subscription support; shows the system block, takes the user's
// text, e-mail and ICQ number and posts them to the maker's server.
#pragma once

#include <memory>
#include <string>

#include "dialog.h"
#include "net_query.h"
#include "report_text.h"
#include "timer.h"

namespace dialogs {

constexpr wchar_t kReportFormClass[] = L"TSVExceptForm";

class ReportForm : public ui::Dialog {
 public:
  // Letter mode by default; ShowErrorLog and ShowPaySupport switch the mode.
  void ShowLetter();
  void ShowPaySupport();
  void ShowErrorLog(const std::string& header, const std::string& details);

 protected:
  void OnInitDialog() override;
  bool OnCommand(int id, int code, HWND control) override;
  bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, INT_PTR* result) override;

 private:
  void Run();
  void ApplyMode();
  void Send();
  void Poll();
  void EnableInputs(bool enable);
  std::string Caption() const;

  ReportMode mode_ = kLetter;
  std::string header_, details_;
  std::string systemText_;
  HWND status_ = nullptr;
  std::unique_ptr<NetQuery> job_;
  std::unique_ptr<NetForm> form_;
  ui::Timer timer_;
};

}  // namespace dialogs
