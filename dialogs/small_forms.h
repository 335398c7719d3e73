// The options dialog TSVOptionsForm, the about box TSVAboutForm and the
// download page box TSVWhereverForm.
#pragma once

#include <string>

#include "dialog.h"
#include "options_logic.h"
#include "win_handles.h"

namespace dialogs {

constexpr char kSiteRoot[] = "http://www.solvika.invalid/";
constexpr char kDefaultDownloadPage[] = "http://www.solvika.invalid/download/";

class OptionsForm : public ui::Dialog {
 public:
  void Show();

 protected:
  void OnInitDialog() override;
  bool OnCommand(int id, int code, HWND control) override;

 private:
  ProxyChoice Ticked() const;
  void ApplyFieldStates();
  void Save();

  std::string browserHost_, browserPort_;
  sv::GdiObject<HFONT> bold_;
};

// A dialog with one link label (navy, underlined, hand cursor).
class LinkDialog : public ui::Dialog {
 protected:
  void MakeLink(int id);
  bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, INT_PTR* result) override;

 private:
  int linkId_ = 0;
  sv::GdiObject<HFONT> underlined_;
};

class AboutForm : public LinkDialog {
 public:
  void Show();

 protected:
  void OnInitDialog() override;
  bool OnCommand(int id, int code, HWND control) override;

 private:
  sv::GdiObject<HFONT> title_;
};

class WhereverForm : public LinkDialog {
 public:
  void Show();

 protected:
  void OnInitDialog() override;
  bool OnCommand(int id, int code, HWND control) override;

 private:
  std::string page_;
};

}  // namespace dialogs
