// The password window "Ввод пароля" (class TPasswordForm): a prompt, a masked
// edit box, OK and Отмена, and the "Забыл пароль!" link.
#pragma once

#include <string>

#include "dialog.h"
#include "win_handles.h"

namespace shell {

// What the caller gets when the user cancels: one character of code 0.
const std::string& CancelledPassword();

class PasswordForm : public ui::Dialog {
 public:
  explicit PasswordForm(std::string prompt) : prompt_(std::move(prompt)) {}
  // Shows the window modally; the typed text, or CancelledPassword().
  std::string Ask(HWND owner);

 private:
  void OnInitDialog() override;
  bool OnCommand(int id, int code, HWND control) override;
  bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, INT_PTR* result) override;
  void PlaceControls();
  void OpenForgottenPasswordPage();
  void SetLinkHot(bool hot);

  std::string prompt_;
  std::string result_;
  bool link_hot_ = false;
  sv::GdiObject<HFONT> link_font_;  // the dialog font underlined, for the hot link
};

}  // namespace shell
