// The search panel on the right of the bottom panel: a picture of a search
// field that turns into the real edit box when the mouse comes over it, and
// a button. Enter or the button sends the trimmed text to the search
// redirect page in a new browser window.
#pragma once

#include <windows.h>

#include <string>

#include "win_handles.h"
#include "window.h"

namespace shell {

constexpr wchar_t kSearchPanelClass[] = L"TSVSearchPanel";
constexpr wchar_t kSearchPictureClass[] = L"TSVSearchPicture";
constexpr int kSearchBoxLeft = 9;
constexpr int kSearchBoxWidth = 177;
constexpr int kSearchBoxHeight = 22;
constexpr int kSearchButtonLeft = 194;
constexpr int kSearchButtonWidth = 26;

class SearchPanel : public ui::Window {
 public:
  ~SearchPanel() override;
  bool Create(HWND parent);
  HWND Edit() const { return edit_; }
  // The picture gives way to the edit box (the mouse came over it).
  void OpenBox();
  // Sends the box's text, trimmed (and put back trimmed); nothing when empty.
  void Search();

 private:
  bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) override;
  void OnTick();
  void FoldBox();
  static LRESULT CALLBACK EditProcedure(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
  static LRESULT CALLBACK PictureProcedure(HWND, UINT, WPARAM, LPARAM);

  HWND picture_ = nullptr;
  HWND edit_ = nullptr;
  HWND button_ = nullptr;
  sv::GdiObject<HFONT> font_;
  int ticks_ = 0;
  bool timing_ = false;
};

}  // namespace shell
