#include "multi_query_form.h"

#include <commctrl.h>

#include "multi_query_form_ids.h"
#include "text.h"

namespace chooser {

int MultiQueryForm::Ask(HWND owner) {
  INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);
  ticked_.assign(titles_.size(), true);
  return AnswerDialog::Ask(IDD_MULTI_QUERY_FORM, kMultiQueryFormClass, owner);
}

void MultiQueryForm::OnShow() {
  HWND list = GetDlgItem(Handle(), IDC_MULTI_LIST);
  ListView_SetExtendedListViewStyle(list, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
  RECT client = {};
  GetClientRect(list, &client);
  LVCOLUMNW column = {};
  column.mask = LVCF_WIDTH;
  column.cx = client.right - GetSystemMetrics(SM_CXVSCROLL);
  ListView_InsertColumn(list, 0, &column);
  for (size_t i = 0; i < titles_.size(); ++i) {
    int row = ui::InsertListViewRow(list, static_cast<int>(i), titles_[i]);
    ListView_SetCheckState(list, row, TRUE);
  }
  if (!titles_.empty()) ListView_SetItemState(list, 0, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
}

void MultiQueryForm::OnAnswer(int) {
  HWND list = GetDlgItem(Handle(), IDC_MULTI_LIST);
  for (size_t i = 0; i < ticked_.size(); ++i) ticked_[i] = ListView_GetCheckState(list, static_cast<int>(i)) != 0;
}

}  // namespace chooser
