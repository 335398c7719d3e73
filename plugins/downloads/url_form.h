// The add-URL dialog "Мастер закачек" (class TSVDM_URLForm): a URL, the folder
// to save into with a "..." folder chooser, and whether to start at once.
#pragma once

#include <string>

#include "dialog.h"

namespace fetchkeeper {

struct UrlRequest {
  std::string url;     // 1251
  std::string folder;  // 1251
  bool autoStart = true;
};

class UrlForm : public ui::Dialog {
 public:
  explicit UrlForm(std::string folder) { request_.folder = std::move(folder); }
  // Shows the dialog modally; true when the user pressed OK (or Enter).
  bool Ask(HWND owner);
  const UrlRequest& Request() const { return request_; }

 private:
  void OnInitDialog() override;
  bool OnCommand(int id, int code, HWND control) override;
  void ChooseFolder();

  UrlRequest request_;
};

}  // namespace fetchkeeper
