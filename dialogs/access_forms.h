// The access management windows: TSVProtectForm (protection on or off),
// TForm6 (set the password and register it with the maker's server) and
// TForm7 (which items of which module are protected). The access library
// keeps every setting; these windows only ask and tell it.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "access_rights.h"
#include "dialog.h"
#include "net_query.h"
#include "timer.h"

namespace dialogs {

// Window code 2: the password check, then the access management dialog.
void ShowAccessManagement();

class ProtectForm : public ui::Dialog {
 public:
  void Show();

 protected:
  void OnInitDialog() override;
  bool OnCommand(int id, int code, HWND control) override;

 private:
  void StatusChosen(int buttonId);
  // False (after saying so) when no password is set yet.
  bool PasswordIsSet();
};

class SetPasswordForm : public ui::Dialog {
 public:
  void Show(HWND owner);

 protected:
  void OnInitDialog() override;
  bool OnCommand(int id, int code, HWND control) override;
  bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, INT_PTR* result) override;

 private:
  void Reset();
  void EnableInputs(bool enable);
  void Register();
  void Poll();
  // The registration's end: the password stored and the window closed, or
  // the no-network message and the fields ready for another try.
  void Finish(bool registered);

  std::string password_;  // the one being registered
  std::unique_ptr<NetQuery> job_;
  ui::Timer timer_;
};

class RightsForm : public ui::Dialog {
 public:
  RightsForm();
  ~RightsForm() override;
  void Show(HWND owner);

 protected:
  void OnInitDialog() override;
  bool OnCommand(int id, int code, HWND control) override;
  bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, INT_PTR* result) override;

 private:
  // What a tree item stands for (its lParam is an index into `nodes`).
  struct NodeRef {
    std::string section, id;
    bool isProtected = false;
  };
  // One module: its tab, its section identifiers and its tree.
  struct Tab {
    RightsModule module;
    HWND tree = nullptr;
    bool filled = false;
    std::vector<NodeRef> nodes;
  };

  void TabChanged();
  void Fill(Tab& tab);
  void AddNodes(Tab& tab, const std::vector<RightsNode>& level, HTREEITEM parent);
  void UpdateToggle();
  void Toggle();
  Tab* ActiveTab();
  NodeRef* Selected(HTREEITEM* item);

  std::vector<Tab> tabs_;
  HIMAGELIST images_ = nullptr, states_ = nullptr;
};

}  // namespace dialogs
