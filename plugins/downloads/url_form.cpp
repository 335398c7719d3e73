#include "url_form.h"

#include <shlobj.h>

#include "app.h"
#include "text.h"
#include "url_form_ids.h"
#include "wide.h"

namespace fetchkeeper {

namespace {

constexpr wchar_t kUrlFormClass[] = L"TSVDM_URLForm";
constexpr int kOkTag = 1;  // what OK stores as the form's answer; Отмена gives 0
constexpr int kTitleLength = 128;

}  // namespace

bool UrlForm::Ask(HWND owner) {
  ui::RegisterDialogClass(ui::ThisModule(), kUrlFormClass);
  return RunModal(ui::ThisModule(), IDD_URLFORM, owner) == kOkTag;
}

void UrlForm::OnInitDialog() {
  ui::CenterOnDesktop(Handle());
  ui::SetItemText(Handle(), IDC_URLFORM_FOLDER, request_.folder);
  CheckDlgButton(Handle(), IDC_URLFORM_AUTOSTART, BST_CHECKED);
  SetFocus(GetDlgItem(Handle(), IDC_URLFORM_URL));
}

bool UrlForm::OnCommand(int id, int code, HWND) {
  switch (id) {
    case IDOK:
      request_.url = ui::GetItemText(Handle(), IDC_URLFORM_URL);
      request_.folder = ui::GetItemText(Handle(), IDC_URLFORM_FOLDER);
      request_.autoStart = IsDlgButtonChecked(Handle(), IDC_URLFORM_AUTOSTART) == BST_CHECKED;
      End(kOkTag);
      return true;
    case IDCANCEL:
      End(0);
      return true;
    case IDC_URLFORM_BROWSE:
      if (code == BN_CLICKED) ChooseFolder();
      return true;
  }
  return false;
}

// The platform's folder browser, file-system folders only; a chosen folder
// replaces the one in the field.
void UrlForm::ChooseFolder() {
  wchar_t title[kTitleLength] = {};
  LoadStringW(ui::ThisModule(), IDS_URLFORM_BROWSE_TITLE, title, kTitleLength);
  BROWSEINFOW info = {};
  info.hwndOwner = Handle();
  info.lpszTitle = title;
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  LPITEMIDLIST chosen = SHBrowseForFolderW(&info);
  if (!chosen) return;
  wchar_t path[MAX_PATH] = {};
  if (SHGetPathFromIDListW(chosen, path)) ui::SetItemText(Handle(), IDC_URLFORM_FOLDER, sv::Narrow(path));
  CoTaskMemFree(chosen);
}

}  // namespace fetchkeeper
