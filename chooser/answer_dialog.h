// The common part of the chooser's two question dialogs: four buttons whose
// tags are the answer, Enter as "Загрузить", Escape and the title bar's close
// box as "Отмена". The answer starts as cancel.
#pragma once

#include "dialog.h"

namespace chooser {

class AnswerDialog : public ui::Dialog {
 public:
  // Shows the dialog modally; -1 when it could not be created or shown.
  int Ask(int template_id, const wchar_t* dialog_class, HWND owner);

 protected:
  void OnInitDialog() override;
  bool OnCommand(int id, int code, HWND control) override;
  // Called with the answer just before the dialog closes.
  virtual void OnAnswer(int answer) { (void)answer; }
  virtual void OnShow() {}

 private:
  int answer_ = 0;
  bool shown_ = false;
};

}  // namespace chooser
