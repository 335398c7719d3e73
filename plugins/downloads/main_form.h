// The downloads window "Мастер закачек" (class TSVDM_MainForm), an MDI child
// of the shell's main window: the manager's jobs in a virtual list polled by
// a timer, the tool buttons and menus that drive the manager, and a box with
// its error messages, newest on top.
#pragma once

#include <string>
#include <vector>

#include "job_rows.h"
#include "timer.h"
#include "virtual_list.h"
#include "win_handles.h"
#include "window.h"

namespace fetchkeeper {

constexpr wchar_t kMainFormClass[] = L"TSVDM_MainForm";

class MainForm : public ui::Window {
 public:
  // Creates the window on the MDI client `mdiClient`; the object deletes
  // itself when its window is destroyed. Null when the window could not be made.
  static HWND Open(HWND mdiClient, HWND application, const std::string& pluginKey);

  // Reads the manager's state into the rows, buttons and error box.
  void Refresh();

 private:
  MainForm(HWND application, std::string pluginKey)
      : application_(application), pluginKey_(std::move(pluginKey)) {}
  ~MainForm() override;

  bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) override;
  LRESULT DefaultProcedure(UINT message, WPARAM wparam, LPARAM lparam) override {
    return DefMDIChildProcW(Handle(), message, wparam, lparam);
  }
  void OnFinalMessage() override { delete this; }

  void OnCreate();
  void OnCommand(int id);
  bool OnNotify(const NMHDR* header, LRESULT* result);
  LRESULT OnCustomDraw(NMLVCUSTOMDRAW* draw);
  void Layout();
  HWND AddButton(int id, int captionId, int picture);
  void SetButtonPicture(HWND button, int picture);
  void OnListClick(const NMITEMACTIVATE* click, bool right);
  void SelectCode(int row);
  void SelectRow(int row);
  void ShowMenu(int menuId, POINT at, bool listMenu);
  void RestartTimer();
  HWND Owner() const;

  void Start();
  void Pause();
  void Move(bool up);
  void AskAndDelete(int which);
  void AddUrl();
  void ShowErrors(const std::string& messages);

  HWND application_;
  std::string pluginKey_;
  std::vector<JobRow> rows_;
  std::string shownJobs_;  // the job list the rows were made from
  ui::VirtualList list_;
  ui::Timer timer_;
  UINT interval_ = 0;
  uint32_t selectedCode_ = 0;  // the list's tag: the code of the row last clicked
  bool runEnabled_ = true, pauseEnabled_ = true;
  HWND header_ = nullptr, errors_ = nullptr, tooltip_ = nullptr;
  HWND close_ = nullptr, up_ = nullptr, down_ = nullptr, start_ = nullptr, pause_ = nullptr;
  HWND add_ = nullptr, speed_ = nullptr, threads_ = nullptr;
  HIMAGELIST statusPictures_ = nullptr, buttonPictures_ = nullptr;
  std::vector<HICON> buttonIcons_;
  sv::GdiObject<HFONT> normalFont_, boldFont_, headerFont_;
};

// The property of a tool button holding the index of the picture it shows.
constexpr wchar_t kPictureProperty[] = L"SvPicture";

}  // namespace fetchkeeper
