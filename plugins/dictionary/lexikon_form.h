// The dictionary window (class "TLexikonForm"), an MDI child of the shell's
// main window: the search field with the list of headwords on the left, the
// article on the right with a splitter between, and the buttons that copy,
// print, save and mail the article.
#pragma once

#include <string>
#include <vector>

#include "file_source.h"
#include "lex_reader.h"
#include "win_handles.h"
#include "window.h"

namespace lexikon {

constexpr wchar_t kLexikonFormClass[] = L"TLexikonForm";

class LexikonForm : public ui::Window {
 public:
  // Creates the window on the MDI client `mdiClient` with `title` as its
  // caption and title label; the object deletes itself when its window is
  // destroyed. Null when the window could not be made.
  static HWND Open(HWND mdiClient, HWND application, const std::string& pluginKey, const std::string& title);

 private:
  LexikonForm(HWND application, std::string pluginKey, std::string title)
      : application_(application), pluginKey_(std::move(pluginKey)), title_(std::move(title)) {}

  bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) override;
  LRESULT DefaultProcedure(UINT message, WPARAM wparam, LPARAM lparam) override {
    return DefMDIChildProcW(Handle(), message, wparam, lparam);
  }
  void OnFinalMessage() override { delete this; }

  void OnCreate();
  void OnCommand(int id, int code);
  void Layout();
  HWND AddControl(DWORD exStyle, const wchar_t* windowClass, const std::wstring& text, DWORD style, int id, HFONT font);
  bool OnSplitterMouse(UINT message, LPARAM lparam);
  bool OverSplitter(int x, int y) const;
  static LRESULT CALLBACK EditProcedure(HWND edit, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                                        DWORD_PTR self);

  void Search();
  void ShowArticle(int entry);
  void ClearArticle();
  void EnableArticleButtons(bool enabled);
  void SelectNextFromEdit();
  void SetStatus(const std::wstring& text);

  void Copy();
  void Print();
  void Save();
  void Mail();
  HWND Owner() const;

  HWND application_;
  std::string pluginKey_;
  std::string title_;
  std::vector<lex::Found> found_;  // the result list, one entry per list row
  IndexCache index_;
  std::string shownText_;          // the article view's text
  int leftWidth_ = 0;              // the search panel's width, moved by the splitter
  bool dragging_ = false;
  int dragOffset_ = 0;
  RECT splitter_ = {};
  HWND titleLabel_ = nullptr, group_ = nullptr, edit_ = nullptr, list_ = nullptr, article_ = nullptr;
  HWND status_ = nullptr;
  HWND copy_ = nullptr, print_ = nullptr, save_ = nullptr, mail_ = nullptr, close_ = nullptr;
  sv::GdiObject<HFONT> normalFont_, titleFont_, articleFont_, listFont_;
};

}  // namespace lexikon
