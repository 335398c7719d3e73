#include "query_form.h"

#include "query_form_ids.h"
#include "question_text.h"
#include "text.h"

namespace chooser {

int QueryForm::Ask(HWND owner) { return AnswerDialog::Ask(IDD_QUERY_FORM, kQueryFormClass, owner); }

void QueryForm::OnShow() { ui::SetItemText(Handle(), IDC_QUERY_TEXT, SingleQuestion(title_)); }

}  // namespace chooser
