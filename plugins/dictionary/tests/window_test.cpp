// The dictionary window as a person uses it: the test program plays the shell
// (a "TSolvikaMainForm" frame with an MDI client), writes a small dictionary
// into its folder with the builder, loads Lexikon.svx, opens the window
// through RunPlugin, types a beginning and reads the list and the article.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <winspool.h>

#include <future>
#include <string>
#include <vector>

#include "SolvikaUtils.h"
#include "file_io.h"
#include "lex_build.h"
#include "lex_format.h"
#include "sv_shell.h"
#include "svstring.h"
#include "test_support.h"
#include "ui_kit.h"
#include "wide.h"

namespace {

std::vector<WPARAM> g_shellCommands;  // what the plugin posted to the "shell"

constexpr char kSource[] = u8R"(@@ проба
Близкие по смыслу: попытка, опыт, прослушивание, образец, испытание, проверка.

Английские соответствия:
  alloy (сущ.) — проба (драгоценного металла)
  attempt (сущ.) — попытка; проба; опыт
  audition (сущ., театр.) — проба, прослушивание
  trial (сущ.) — испытание, проба, проверка
@@ провод
Близкие по смыслу: жила, проволока.

Английские соответствия:
  conductor (сущ., эл.) — провод; жила
  wire (сущ.) — проволока; провод
@@ прок
Английские соответствия:
  use (сущ.) — польза, прок, толк
@@ просто
Близкие по смыслу: только, совсем, прямо, единственно, легко.

Английские соответствия:
  barely (нареч.) — только, просто
  merely (нареч.) — только, просто; единственно
  simply (нареч.) — просто, легко
@@ простор
Близкие по смыслу: широта, свобода, возможности.

Английские соответствия:
  amplitude (сущ.) — широта, простор
  elbow-room (сущ.) — простор (для движения)
@@ ёлка
Английские соответствия:
  fir-tree (сущ.) — ёлка, ель
)";

LRESULT CALLBACK FrameProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  static HWND client = nullptr;
  if (message == WM_CREATE) {
    CLIENTCREATESTRUCT create = {};
    client = CreateWindowExW(0, L"MDICLIENT", nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 860, 560,
                             window, nullptr, GetModuleHandleW(nullptr), &create);
    return 0;
  }
  if (message == WM_SIZE && client) MoveWindow(client, 0, 0, LOWORD(lparam), HIWORD(lparam), TRUE);
  if (message == WM_SHELL_COMMAND) {
    g_shellCommands.push_back(wparam);
    return 0;
  }
  return DefFrameProcW(window, client, message, wparam, lparam);
}

std::string IniValue(const char* section, const char* key) {
  return sv::TakeOut([&](SvStr* out) { GetIniString(out, section, key, "(none)"); });
}

bool HasDefaultPrinter() {
  DWORD needed = 0;
  GetDefaultPrinterW(nullptr, &needed);
  return needed > 0;
}

// A Unix path for the screenshot: build/screenshots beside the test folder.
std::string ScreenshotPath() {
  std::string folder = TestProgramFolder();  // "Z:\...\build\testbin\"
  if (folder.size() < 3 || (folder[0] != 'Z' && folder[0] != 'z') || folder[1] != ':') return std::string();
  std::string unix = folder.substr(2);
  for (char& c : unix)
    if (c == '\\') c = '/';
  unix.resize(unix.size() - 1);
  std::string build = unix.substr(0, unix.rfind('/'));
  sv::CreateFolderTree(folder + "..\\screenshots");
  return build + "/screenshots/lexikon.png";
}

class DictionaryWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    lex::BuiltFiles files;
    lex::BuildReport report;
    std::string error;
    ASSERT_TRUE(lex::BuildDictionary(lex::ParseSource(sv::Ru(kSource)), &files, &report, &error)) << error;
    ASSERT_TRUE(WriteFileBytes(TestProgramFolder() + lex::kIndexFile, files.index));
    ASSERT_TRUE(WriteFileBytes(TestProgramFolder() + lex::kWordFile, files.words));
    ASSERT_TRUE(WriteFileBytes(TestProgramFolder() + lex::kArticleFile, files.articles));
    DeleteIniValue("*Lexikon", "Name");
    DeleteIniValue("*Lexikon", "Section");

    WNDCLASSW wc = {};
    wc.lpfnWndProc = FrameProcedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = GetSysColorBrush(COLOR_APPWORKSPACE);
    wc.lpszClassName = L"TSolvikaMainForm";
    RegisterClassW(&wc);
    g_shellCommands.clear();
    frame_ = CreateWindowExW(0, L"TSolvikaMainForm", L"Solvika", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 880, 600,
                             nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(frame_);
    plugin_ = LoadLibraryW(L"Lexikon.svx");
    ASSERT_TRUE(plugin_);
    auto version = reinterpret_cast<int32_t(SVAPI*)()>(GetProcAddress(plugin_, "GetModuleVersion"));
    auto run = reinterpret_cast<HWND(SVAPI*)(const char*, HWND)>(GetProcAddress(plugin_, "RunPlugin"));
    ASSERT_TRUE(version && run && GetProcAddress(plugin_, "RegisterPlugin"));
    EXPECT_EQ(202, version());  // and registers the plugin
    form_ = run("*Lexikon", nullptr);
    ASSERT_TRUE(form_);
    ShowWindow(form_, SW_MAXIMIZE);
    edit_ = FindWindowExW(form_, nullptr, L"Edit", nullptr);
    list_ = FindWindowExW(form_, nullptr, L"ListBox", nullptr);
    article_ = FindWindowExW(form_, edit_, L"Edit", nullptr);
    ASSERT_TRUE(edit_ && list_ && article_);
  }

  void TearDown() override {
    uikit::CloseLeftovers(GetCurrentProcessId(), L"#32770");
    if (form_ && IsWindow(form_)) DestroyWindow(form_);
    if (plugin_) FreeLibrary(plugin_);
    if (frame_) DestroyWindow(frame_);
  }

  void Type(const char* utf8) {
    uikit::SetText(edit_, sv::Ru(utf8));
    uikit::PumpUntil([] { return false; }, 100);
  }
  std::vector<std::string> Headwords() {
    std::vector<std::string> words;
    int count = static_cast<int>(SendMessageW(list_, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
      wchar_t text[64] = {};
      SendMessageW(list_, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
      words.push_back(sv::Narrow(text));
    }
    return words;
  }
  int Selected() { return static_cast<int>(SendMessageW(list_, LB_GETCURSEL, 0, 0)); }
  HWND Button(const char* utf8) { return uikit::FindChild(form_, sv::Ru(utf8), L"Button"); }
  std::string Clipboard() {
    std::string text;
    if (!OpenClipboard(nullptr)) return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
      text = sv::Narrow(static_cast<const wchar_t*>(GlobalLock(data)));
      GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
  }

  HWND frame_ = nullptr, form_ = nullptr, edit_ = nullptr, list_ = nullptr, article_ = nullptr;
  HMODULE plugin_ = nullptr;
};

TEST_F(DictionaryWindow, RegistersItselfAndShowsItsTitle) {
  EXPECT_EQ("Lexikon.svx", IniValue("*Lexikon", "Library"));
  EXPECT_EQ("202", IniValue("*Lexikon", "Version"));
  EXPECT_EQ(sv::Ru(u8"Словарь Лекса"), IniValue("*Lexikon", "Name"));
  EXPECT_EQ(sv::Ru(u8"Словари"), IniValue("*Lexikon", "Section"));
  EXPECT_EQ(L"TLexikonForm", uikit::ClassOf(form_));
  EXPECT_EQ(GetParent(form_), FindWindowExW(frame_, nullptr, L"MDICLIENT", nullptr));
  EXPECT_TRUE(uikit::FindChild(form_, sv::Ru(u8"Словарь Лекса"), L"Static"));
  EXPECT_EQ(edit_, uikit::FindEditByLabel(form_, sv::Ru(u8"Поисковое слово:").c_str()));
  for (const char* caption : {u8"Копировать", u8"Печатать", u8"Сохранить", u8"Отправить письмом"})
    EXPECT_FALSE(IsWindowEnabled(Button(caption))) << caption;
  EXPECT_TRUE(IsWindowEnabled(Button(u8"Закрыть")));
}

TEST_F(DictionaryWindow, TypingABeginningListsTheHeadwordsAndShowsTheFirstArticle) {
  Type(u8"про");
  EXPECT_EQ((std::vector<std::string>{sv::Ru(u8"ПРОБА"), sv::Ru(u8"ПРОВОД"), sv::Ru(u8"ПРОК"), sv::Ru(u8"ПРОСТО"),
                                      sv::Ru(u8"ПРОСТОР")}),
            Headwords());
  EXPECT_EQ(0, Selected());
  std::string article = uikit::Text(article_);
  EXPECT_EQ(0u, article.find(sv::Ru(u8"ПРОБА\r\n=======\r\n\r\nБлизкие по смыслу: попытка")));
  for (const char* caption : {u8"Копировать", u8"Печатать", u8"Сохранить", u8"Отправить письмом"})
    EXPECT_TRUE(IsWindowEnabled(Button(caption))) << caption;

  // The down-arrow key in the search field moves on in the list.
  SetForegroundWindow(frame_);
  SetFocus(edit_);
  uikit::PressKey(edit_, VK_DOWN);
  ASSERT_TRUE(uikit::PumpUntil([&] { return Selected() == 1; }));
  EXPECT_EQ(list_, GetFocus());
  EXPECT_EQ(0u, uikit::Text(article_).find(sv::Ru(u8"ПРОВОД\r\n=======")));

  ASSERT_TRUE(uikit::Press(form_, sv::Ru(u8"Копировать")));
  uikit::PumpUntil([] { return false; }, 100);
  EXPECT_EQ(uikit::Text(article_), Clipboard());

  Type(u8"ёлк");
  EXPECT_EQ(std::vector<std::string>{sv::Ru(u8"ЕЛКА")}, Headwords());
  EXPECT_NE(std::string::npos, uikit::Text(article_).find(sv::Ru(u8"ёлка, ель")));
  Type(u8"прост");
  EXPECT_EQ(2u, Headwords().size());
  std::string shot = ScreenshotPath();
  if (!shot.empty()) {
    EXPECT_TRUE(uikit::CaptureScreen(shot));
  }

  Type(u8"");
  EXPECT_TRUE(Headwords().empty());
  EXPECT_EQ("", uikit::Text(article_));
  EXPECT_FALSE(IsWindowEnabled(Button(u8"Копировать")));
}

TEST_F(DictionaryWindow, WithoutAPrinterPrintingSaysSo) {
  if (HasDefaultPrinter()) GTEST_SKIP() << "a printer is installed";
  Type(u8"прок");
  ASSERT_EQ(1u, Headwords().size());
  auto seen = std::async(std::launch::async, [] {
    uikit::MessageBoxSeen box = uikit::WaitMessageBox(GetCurrentProcessId());
    if (box.window) uikit::Answer(box, IDOK);
    return box;
  });
  PostMessageW(Button(u8"Печатать"), BM_CLICK, 0, 0);
  uikit::PumpUntil([&] { return seen.wait_for(std::chrono::seconds(0)) == std::future_status::ready; });
  EXPECT_EQ("Error Printing text.", seen.get().text);
}

TEST_F(DictionaryWindow, TheSplitterMovesTheBorderAndTheSearchFieldFollows) {
  RECT list = {}, edit = {};
  GetWindowRect(list_, &list);
  MapWindowPoints(nullptr, form_, reinterpret_cast<POINT*>(&list), 2);
  int splitterX = list.right + 2, y = (list.top + list.bottom) / 2;
  SendMessageW(form_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(splitterX, y));
  SendMessageW(form_, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(splitterX + 100, y));
  SendMessageW(form_, WM_LBUTTONUP, 0, MAKELPARAM(splitterX + 100, y));
  RECT moved = {};
  GetWindowRect(list_, &moved);
  EXPECT_EQ((list.right - list.left) + 100, moved.right - moved.left);
  GetWindowRect(edit_, &edit);
  EXPECT_EQ((moved.right - moved.left) - 15, edit.right - edit.left);  // 15 narrower than its panel
}

TEST_F(DictionaryWindow, ClosingAndActivationAreLeftToTheShell) {
  SendMessageW(form_, WM_CLOSE, 0, 0);
  ASSERT_TRUE(uikit::Press(form_, sv::Ru(u8"Закрыть")));
  uikit::PumpUntil([] { return false; }, 100);
  EXPECT_TRUE(IsWindow(form_));
  int closes = 0;
  for (WPARAM command : g_shellCommands) closes += command == SVSHELL_CLOSE_ACTIVE_PLUGIN;
  EXPECT_EQ(2, closes);
  g_shellCommands.clear();
  SendMessageW(form_, WM_MDIACTIVATE, 0, reinterpret_cast<LPARAM>(form_));
  uikit::PumpUntil([] { return false; }, 100);
  bool activated = false;
  for (WPARAM command : g_shellCommands) activated |= command == SVSHELL_PLUGIN_ACTIVATED;
  EXPECT_TRUE(activated);
}

}  // namespace
