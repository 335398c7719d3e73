// TSVDNMQueryForm: asks how one download should go.
#pragma once

#include <string>

#include "answer_dialog.h"

namespace chooser {

constexpr wchar_t kQueryFormClass[] = L"TSVDNMQueryForm";

class QueryForm : public AnswerDialog {
 public:
  explicit QueryForm(std::string title1251) : title_(std::move(title1251)) {}
  // The answer (0..3), or -1 when the dialog could not be shown.
  int Ask(HWND owner);

 protected:
  void OnShow() override;

 private:
  std::string title_;
};

}  // namespace chooser
