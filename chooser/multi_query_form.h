// TSVDNMMultiQueryForm: a check list of components, one line per title, all
// ticked at first, and the four answers.
#pragma once

#include <string>
#include <vector>

#include "answer_dialog.h"

namespace chooser {

constexpr wchar_t kMultiQueryFormClass[] = L"TSVDNMMultiQueryForm";

class MultiQueryForm : public AnswerDialog {
 public:
  explicit MultiQueryForm(std::vector<std::string> titles1251) : titles_(std::move(titles1251)) {}
  // The answer (0..3), or -1 when the dialog could not be shown.
  int Ask(HWND owner);
  // Which lines were ticked when the dialog closed, in line order.
  const std::vector<bool>& Ticked() const { return ticked_; }

 protected:
  void OnShow() override;
  void OnAnswer(int answer) override;

 private:
  std::vector<std::string> titles_;
  std::vector<bool> ticked_;
};

}  // namespace chooser
