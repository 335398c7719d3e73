#include "answer_dialog.h"

#include "SolvikaDNF.h"
#include "answer_ids.h"
#include "app.h"

namespace chooser {

namespace {

struct ButtonAnswer {
  int id;
  int answer;
};

// IDOK comes from Enter, IDCANCEL from Escape and from the title bar's close box.
constexpr ButtonAnswer kButtonAnswers[] = {
    {IDC_ANSWER_LOAD, SVDNF_LOAD},     {IDC_ANSWER_BACKGROUND, SVDNF_LOAD_BACKGROUND},
    {IDC_ANSWER_ADD, SVDNF_ADD_ONLY},  {IDC_ANSWER_CANCEL, SVDNF_CANCEL},
    {IDOK, SVDNF_LOAD},                {IDCANCEL, SVDNF_CANCEL},
};

constexpr int kNotShown = -1;

}  // namespace

int AnswerDialog::Ask(int template_id, const wchar_t* dialog_class, HWND owner) {
  ui::RegisterDialogClass(ui::ThisModule(), dialog_class);
  answer_ = SVDNF_CANCEL;
  shown_ = false;
  RunModal(ui::ThisModule(), template_id, owner);
  return shown_ ? answer_ : kNotShown;
}

void AnswerDialog::OnInitDialog() {
  shown_ = true;
  answer_ = SVDNF_CANCEL;
  OnShow();
  ui::CenterOnDesktop(Handle());
}

bool AnswerDialog::OnCommand(int id, int code, HWND) {
  if (code != BN_CLICKED) return false;
  for (const ButtonAnswer& b : kButtonAnswers) {
    if (b.id != id) continue;
    answer_ = b.answer;
    OnAnswer(answer_);
    End(answer_);
    return true;
  }
  return false;
}

}  // namespace chooser
