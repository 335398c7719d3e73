#include "lexikon_form.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include "SolvikaUtils.h"
#include "app.h"
#include "article_texts.h"
#include "file_io.h"
#include "file_source.h"
#include "fonts.h"
#include "guard.h"
#include "lexikon_form_ids.h"
#include "main_window.h"
#include "message_box.h"
#include "printing.h"
#include "sv_shell.h"
#include "svstring.h"
#include "text.h"
#include "wide.h"

namespace lexikon {

namespace {

constexpr int kMargin = 4;
constexpr int kTitleHeight = 24;
constexpr int kButtonHeight = 25;
constexpr int kButtonGap = 4;
constexpr int kButtonTextPadding = 24;
constexpr int kGroupHeight = 44;       // the search panel: caption and field
constexpr int kGroupCaptionTop = 2;
constexpr int kGroupEditTop = 18;
constexpr int kGroupEditLeft = 7;  // (15 - 7 on the right)
constexpr int kEditHeight = 21;
constexpr int kEditNarrower = 15;  // the search field is this much narrower than its panel
constexpr int kSplitterWidth = 5;
constexpr int kDefaultLeftWidth = 230;
constexpr int kMinLeftWidth = 120;
constexpr int kMinArticleWidth = 160;
constexpr int kTitlePoints = 12;
constexpr int kArticlePoints = 10;
constexpr int kTextLength = 256;
constexpr UINT_PTR kEditSubclass = 1;

constexpr char kSolvikaSection[] = "Solvika";
constexpr char kDownloadPageKey[] = "DownloadPage";
constexpr char kDefaultDownloadPage[] = "http://www.solvika.invalid/download/";

std::wstring LoadText(int id) {
  wchar_t buffer[kTextLength] = {};
  LoadStringW(ui::ThisModule(), id, buffer, kTextLength);
  return buffer;
}

void PostToShell(WPARAM command) {
  if (HWND main = ui::MainWindow()) PostMessageW(main, WM_SHELL_COMMAND, command, 0);
}

}  // namespace

HWND LexikonForm::Open(HWND mdiClient, HWND application, const std::string& pluginKey, const std::string& title) {
  if (!mdiClient) return nullptr;
  ui::RegisterWindowClass(ui::ThisModule(), kLexikonFormClass, GetSysColorBrush(COLOR_BTNFACE));
  auto* form = new LexikonForm(application, pluginKey, title);
  HWND window = form->CreateMdiChild(mdiClient, kLexikonFormClass, title, ui::ThisModule(), WS_CLIPCHILDREN);
  // A window that failed to appear may or may not have seen WM_NCDESTROY.
  if (!window && form->Handle() == nullptr) return nullptr;
  return window;
}

HWND LexikonForm::AddControl(DWORD exStyle, const wchar_t* windowClass, const std::wstring& text, DWORD style, int id,
                             HFONT font) {
  HWND control = CreateWindowExW(exStyle, windowClass, text.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0,
                                 Handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ui::ThisModule(), nullptr);
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return control;
}

void LexikonForm::OnCreate() {
  normalFont_ = ui::DialogFont();
  titleFont_.Reset(ui::CreatePointFont(kTitlePoints, true));
  articleFont_.Reset(ui::CreatePointFont(kArticlePoints, false));
  listFont_.Reset(ui::CreatePointFont(kArticlePoints, false));
  leftWidth_ = kDefaultLeftWidth;

  titleLabel_ = AddControl(0, L"STATIC", sv::Wide(title_), SS_LEFT | SS_NOPREFIX, IDC_LEXIKON_TITLE, titleFont_.Get());
  copy_ = AddControl(0, L"BUTTON", LoadText(IDS_LEXIKON_COPY), WS_TABSTOP | BS_PUSHBUTTON, IDC_LEXIKON_COPY,
                     normalFont_.Get());
  print_ = AddControl(0, L"BUTTON", LoadText(IDS_LEXIKON_PRINT), WS_TABSTOP | BS_PUSHBUTTON, IDC_LEXIKON_PRINT,
                      normalFont_.Get());
  save_ = AddControl(0, L"BUTTON", LoadText(IDS_LEXIKON_SAVE), WS_TABSTOP | BS_PUSHBUTTON, IDC_LEXIKON_SAVE,
                     normalFont_.Get());
  mail_ = AddControl(0, L"BUTTON", LoadText(IDS_LEXIKON_MAIL), WS_TABSTOP | BS_PUSHBUTTON, IDC_LEXIKON_MAIL,
                     normalFont_.Get());
  close_ = AddControl(0, L"BUTTON", LoadText(IDS_LEXIKON_CLOSE), WS_TABSTOP | BS_PUSHBUTTON, IDC_LEXIKON_CLOSE,
                      normalFont_.Get());
  group_ = AddControl(0, L"STATIC", LoadText(IDS_LEXIKON_GROUP), SS_LEFT | SS_NOPREFIX, IDC_LEXIKON_GROUP,
                      normalFont_.Get());
  edit_ = AddControl(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, IDC_LEXIKON_EDIT, listFont_.Get());
  list_ = AddControl(WS_EX_CLIENTEDGE, L"LISTBOX", L"",
                     WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS, IDC_LEXIKON_LIST,
                     listFont_.Get());
  article_ = AddControl(WS_EX_CLIENTEDGE, L"EDIT", L"",
                        WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | ES_NOHIDESEL,
                        IDC_LEXIKON_ARTICLE, articleFont_.Get());
  status_ = AddControl(0, STATUSCLASSNAMEW, L"", 0, IDC_LEXIKON_STATUS, normalFont_.Get());
  SetWindowSubclass(edit_, EditProcedure, kEditSubclass, reinterpret_cast<DWORD_PTR>(this));
  EnableArticleButtons(false);
  FileSource index(DictionaryPath(lex::kIndexFile));
  if (index.Size() == 0) SetStatus(LoadText(IDS_LEXIKON_NO_DICTIONARY));
}

void LexikonForm::Layout() {
  RECT client = {};
  GetClientRect(Handle(), &client);
  int width = client.right, height = client.bottom;
  SendMessageW(status_, WM_SIZE, 0, 0);
  RECT statusRect = {};
  GetWindowRect(status_, &statusRect);
  int statusHeight = statusRect.bottom - statusRect.top;

  MoveWindow(titleLabel_, kMargin + 2, kMargin, width - 2 * kMargin, kTitleHeight - kMargin, TRUE);

  // The article buttons from the left, "Закрыть" at the right edge.
  int y = kTitleHeight + kMargin, x = kMargin;
  HDC dc = GetDC(Handle());
  HGDIOBJ old = SelectObject(dc, normalFont_.Get());
  auto widthOf = [&](HWND button) {
    wchar_t text[kTextLength] = {};
    GetWindowTextW(button, text, kTextLength);
    SIZE size = {};
    GetTextExtentPoint32W(dc, text, lstrlenW(text), &size);
    return size.cx + kButtonTextPadding;
  };
  for (HWND button : {copy_, print_, save_, mail_}) {
    int w = widthOf(button);
    MoveWindow(button, x, y, w, kButtonHeight, TRUE);
    x += w + kButtonGap;
  }
  int closeWidth = widthOf(close_);
  int closeLeft = width - kMargin - closeWidth;
  MoveWindow(close_, closeLeft < x ? x : closeLeft, y, closeWidth, kButtonHeight, TRUE);
  SelectObject(dc, old);
  ReleaseDC(Handle(), dc);

  int top = y + kButtonHeight + kMargin;
  int bottom = height - statusHeight - kMargin;
  int areaHeight = bottom - top < 0 ? 0 : bottom - top;
  int maxLeft = width - 2 * kMargin - kSplitterWidth - kMinArticleWidth;
  if (leftWidth_ > maxLeft) leftWidth_ = maxLeft;
  if (leftWidth_ < kMinLeftWidth) leftWidth_ = kMinLeftWidth;

  // The caption above the search field, which sits in the middle of its panel.
  MoveWindow(group_, kMargin + kGroupEditLeft, top + kGroupCaptionTop, leftWidth_ - kEditNarrower,
             kGroupEditTop - kGroupCaptionTop, TRUE);
  MoveWindow(edit_, kMargin + kGroupEditLeft, top + kGroupEditTop, leftWidth_ - kEditNarrower, kEditHeight, TRUE);
  int listTop = top + kGroupHeight + kMargin;
  int listHeight = bottom - listTop < 0 ? 0 : bottom - listTop;
  MoveWindow(list_, kMargin, listTop, leftWidth_, listHeight, TRUE);

  int splitterLeft = kMargin + leftWidth_;
  splitter_ = RECT{splitterLeft, top, splitterLeft + kSplitterWidth, top + areaHeight};
  int articleLeft = splitterLeft + kSplitterWidth;
  int articleWidth = width - kMargin - articleLeft;
  // The article starts level with the search field, below its caption line.
  int articleHeight = areaHeight - kGroupEditTop < 0 ? 0 : areaHeight - kGroupEditTop;
  MoveWindow(article_, articleLeft, top + kGroupEditTop, articleWidth < 0 ? 0 : articleWidth, articleHeight, TRUE);
}

bool LexikonForm::OverSplitter(int x, int y) const {
  return x >= splitter_.left && x < splitter_.right && y >= splitter_.top && y < splitter_.bottom;
}

bool LexikonForm::OnSplitterMouse(UINT message, LPARAM lparam) {
  int x = static_cast<short>(LOWORD(lparam)), y = static_cast<short>(HIWORD(lparam));
  switch (message) {
    case WM_LBUTTONDOWN:
      if (!OverSplitter(x, y)) return false;
      dragging_ = true;
      dragOffset_ = x - splitter_.left;
      SetCapture(Handle());
      return true;
    case WM_MOUSEMOVE:
      if (!dragging_) return false;
      leftWidth_ = x - dragOffset_ - kMargin;
      Layout();
      return true;
    case WM_LBUTTONUP:
      if (!dragging_) return false;
      dragging_ = false;
      ReleaseCapture();
      return true;
  }
  return false;
}

LRESULT CALLBACK LexikonForm::EditProcedure(HWND edit, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                                            DWORD_PTR self) {
  // A window procedure is a library boundary: nothing may be thrown past it.
  return sv::Guard<LRESULT>(0, [&]() -> LRESULT {
    if (message == WM_KEYDOWN && wparam == VK_DOWN) {
      reinterpret_cast<LexikonForm*>(self)->SelectNextFromEdit();
      return 0;
    }
    if (message == WM_NCDESTROY) RemoveWindowSubclass(edit, EditProcedure, id);
    return DefSubclassProc(edit, message, wparam, lparam);
  });
}

bool LexikonForm::OnMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) {
  switch (message) {
    case WM_CREATE:
      OnCreate();
      return false;  // the MDI child procedure has its own work to do
    case WM_SIZE:
      Layout();
      return false;  // DefMDIChildProc must see WM_SIZE too
    case WM_MDIACTIVATE:
      if (reinterpret_cast<HWND>(lparam) == Handle()) {
        PostToShell(SVSHELL_PLUGIN_ACTIVATED);
        SetFocus(edit_);
      }
      return false;
    case WM_SETFOCUS:
      SetFocus(edit_);
      *result = 0;
      return true;
    case WM_CLOSE:
      // The shell closes plugins: the window only asks it to.
      PostToShell(SVSHELL_CLOSE_ACTIVE_PLUGIN);
      *result = 0;
      return true;
    case WM_COMMAND:
      if (!lparam) return false;
      OnCommand(LOWORD(wparam), HIWORD(wparam));
      *result = 0;
      return true;
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(wparam) == Handle() && LOWORD(lparam) == HTCLIENT) {
        POINT at = {};
        GetCursorPos(&at);
        ScreenToClient(Handle(), &at);
        if (OverSplitter(at.x, at.y) || dragging_) {
          SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32644)));  // IDC_SIZEWE
          *result = TRUE;
          return true;
        }
      }
      return false;
    case WM_LBUTTONDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
      if (!OnSplitterMouse(message, lparam)) return false;
      *result = 0;
      return true;
    case WM_CTLCOLORSTATIC:
      // The read-only article view reads like a page, not like a disabled field.
      if (reinterpret_cast<HWND>(lparam) != article_) return false;
      SetBkColor(reinterpret_cast<HDC>(wparam), GetSysColor(COLOR_WINDOW));
      SetTextColor(reinterpret_cast<HDC>(wparam), GetSysColor(COLOR_WINDOWTEXT));
      *result = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
      return true;
    case WM_CAPTURECHANGED:
      dragging_ = false;
      return false;
    case WM_DESTROY:
      found_.clear();
      return false;
  }
  return false;
}

void LexikonForm::OnCommand(int id, int code) {
  switch (id) {
    case IDC_LEXIKON_EDIT:
      if (code == EN_CHANGE) Search();
      return;
    case IDC_LEXIKON_LIST:
      if (code == LBN_SELCHANGE) ShowArticle(static_cast<int>(SendMessageW(list_, LB_GETCURSEL, 0, 0)));
      return;
  }
  if (code != BN_CLICKED) return;
  switch (id) {
    case IDC_LEXIKON_COPY: Copy(); break;
    case IDC_LEXIKON_PRINT: Print(); break;
    case IDC_LEXIKON_SAVE: Save(); break;
    case IDC_LEXIKON_MAIL: Mail(); break;
    case IDC_LEXIKON_CLOSE: PostToShell(SVSHELL_CLOSE_ACTIVE_PLUGIN); break;
  }
}

void LexikonForm::Search() {
  SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list_, LB_RESETCONTENT, 0, 0);
  found_.clear();
  ClearArticle();
  std::string word = ui::GetText(edit_);
  if (word.empty()) {
    SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list_, nullptr, TRUE);
    SetStatus(L"");
    return;
  }
  {
    // The files are open for this search only.
    FileSource index(DictionaryPath(lex::kIndexFile));
    FileSource words(DictionaryPath(lex::kWordFile));
    lex::Dictionary dictionary(index_.Get(index), &words);
    found_ = dictionary.Search(word);
  }
  for (const lex::Found& entry : found_) ui::AddListItem(list_, entry.headword);
  SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list_, nullptr, TRUE);
  SetStatus(found_.empty() ? LoadText(IDS_LEXIKON_NOTHING)
                           : LoadText(IDS_LEXIKON_FOUND) + std::to_wstring(found_.size()));
  if (!found_.empty()) {
    SendMessageW(list_, LB_SETCURSEL, 0, 0);
    ShowArticle(0);
  }
}

void LexikonForm::ShowArticle(int entry) {
  if (entry < 0 || entry >= static_cast<int>(found_.size())) return;
  const lex::Found& found = found_[entry];
  std::string article;
  {
    FileSource articles(DictionaryPath(lex::kArticleFile));
    article = lex::ReadArticle(&articles, found);
  }
  shownText_ = lex::ArticleText(found.headword, article);
  ui::SetText(article_, shownText_);
  EnableArticleButtons(true);
}

void LexikonForm::ClearArticle() {
  shownText_.clear();
  ui::SetText(article_, "");
  EnableArticleButtons(false);
}

void LexikonForm::EnableArticleButtons(bool enabled) {
  for (HWND button : {copy_, print_, save_, mail_}) EnableWindow(button, enabled);
}

void LexikonForm::SelectNextFromEdit() {
  int count = static_cast<int>(SendMessageW(list_, LB_GETCOUNT, 0, 0));
  if (count <= 0) return;
  int next = static_cast<int>(SendMessageW(list_, LB_GETCURSEL, 0, 0)) + 1;
  if (next < count) {
    SendMessageW(list_, LB_SETCURSEL, next, 0);
    ShowArticle(next);
  }
  SetFocus(list_);
}

void LexikonForm::SetStatus(const std::wstring& text) {
  SendMessageW(status_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void LexikonForm::Copy() {
  SetFocus(article_);
  SendMessageW(article_, EM_SETSEL, 0, -1);
  SendMessageW(article_, WM_COPY, 0, 0);
}

void LexikonForm::Print() {
  if (shownText_.empty()) return;
  std::string page = sv::TakeOut([](SvStr* out) {
    GetIniString(out, kSolvikaSection, kDownloadPageKey, kDefaultDownloadPage);
  });
  std::vector<std::string> lines = PrintLines(ui::GetText(titleLabel_), page, shownText_);
  wchar_t before[kTextLength] = {};
  SendMessageW(status_, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(before));
  SetStatus(LoadText(IDS_LEXIKON_PREPARING));
  UpdateWindow(status_);
  bool printed = PrintToDefaultPrinter(lines, sv::Wide(title_));
  SetStatus(before);
  if (!printed)
    ui::MessageBox1251(Owner(), sv::Narrow(LoadText(IDS_LEXIKON_PRINT_ERROR)), "", MB_OK | MB_ICONERROR);
}

void LexikonForm::Save() {
  if (shownText_.empty()) return;
  std::wstring filter = sv::Wide(kSaveFilter);
  for (wchar_t& c : filter)
    if (c == L'|') c = L'\0';
  filter.push_back(L'\0');
  wchar_t name[MAX_PATH] = {};
  OPENFILENAMEW dialog = {};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = Owner();
  dialog.lpstrFilter = filter.c_str();
  dialog.nFilterIndex = kTextFilterIndex;
  dialog.lpstrFile = name;
  dialog.nMaxFile = MAX_PATH;
  dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_EXPLORER;
  if (!GetSaveFileNameW(&dialog)) return;
  std::string target = SaveFileName(sv::Narrow(name), static_cast<int>(dialog.nFilterIndex));
  if (!sv::WriteFileReplacing(target, shownText_))
    ui::MessageBox1251(Owner(), sv::Narrow(LoadText(IDS_LEXIKON_SAVE_ERROR)) + target, "", MB_OK | MB_ICONERROR);
}

void LexikonForm::Mail() {
  if (shownText_.empty()) return;
  ShellExecuteW(Owner(), L"open", sv::Wide(MailUrl(shownText_)).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

// The application window adopted from the shell owns the plugin's dialogs
// and message boxes; without one, the window itself does.
HWND LexikonForm::Owner() const { return application_ && IsWindow(application_) ? application_ : Handle(); }

}  // namespace lexikon
