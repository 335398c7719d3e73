// The dialogs driven as a person would, in a program folder of their own (a
// copy of this test program run as a child) against the local server: the
// report window's sends, the options, about and download page boxes, the
// program backup restored by its extractor, and the access management windows.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <cstdio>

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>

#include "SolvikaNet.h"
#include "SolvikaUtils.h"
#include "TovrinPF.h"
#include "file_io.h"
#include "net_test_support.h"
#include "svstring.h"
#include "test_support.h"
#include "ui_kit.h"
#include "wide.h"

extern "C" {
__declspec(dllimport) void __stdcall SolvikaMain_ExecModalWindow(int32_t code);
__declspec(dllimport) int32_t __stdcall SolvikaMain_ExecWindow(int32_t code);
__declspec(dllimport) void __stdcall SolvikaMain_ExecExceptWindow(const char* text);
}

namespace {

const std::vector<std::string> kLibraries = {"SolvikaMainTools.dll", "SolvikaNet.dll",   "SolvikaUtils.dll",
                                             "SolvikaPU.dll",        "UnzDll.dll",       "ZipDll.dll",
                                             "SolvikaDump.dll",      "TovrinPF.dll",     "TovrinMain.dll",
                                             "SolvikaMain.dll",      "SolvikaDNM.dll"};
constexpr uint16_t kProgramVersion = 418;

using sv::Ru;

void Shot(const char* name) { uikit::CaptureScreen(std::string(SV_SCREENSHOTS) + name); }

// A modal export run on a thread of its own, so that the test can work it.
class ModalRun {
 public:
  explicit ModalRun(std::function<void()> body) : thread_([this, body] { body(); done_ = true; }) {}
  ~ModalRun() {
    if (!done_) uikit::CloseLeftovers(GetCurrentProcessId(), nullptr);
    thread_.join();
  }
  bool Wait() { return uikit::PumpUntil([&] { return done_.load(); }); }

 private:
  std::atomic<bool> done_{false};
  std::thread thread_;
};

std::string StoredEmail() {
  std::string s = sv::TakeOut([](SvStr* out) { GetIniString(out, "Solvika", "EML", ""); });
  return sv::Take(HTTP2Str(s.c_str()));
}

// The access file of the machine (the Windows folder of the Wine prefix),
// emptied so that each test starts without a password, status or module.
void ResetAccessFile() {
  wchar_t folder[MAX_PATH] = {};
  GetWindowsDirectoryW(folder, MAX_PATH);
  std::wstring file = std::wstring(folder) + L"\\qzwcontrol.ini";
  WritePrivateProfileStringW(nullptr, nullptr, nullptr, file.c_str());  // nothing left in the cache
  DeleteFileW(file.c_str());
}

}  // namespace

TEST(MainToolsWindows, RunInAProgramFolderOfTheirOwn) {
  if (InChild()) GTEST_SKIP();
  REQUIRE_SERVER();
  ScratchDir dir("mt");
  std::string exe = CopyTestProgram(dir.Path(), kLibraries);
  ChildResult r = RunChild(exe, "--gtest_filter=Tools.* -tnnetdefaulthost:" + nettest::ServerHost(), dir.Path(), 400000);
  EXPECT_EQ(0u, r.exitCode) << r.output;
  EXPECT_NE(std::string::npos, r.output.find("[  PASSED  ]")) << r.output;
}

class Tools : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!InChild()) return;
    SolvikaNetStart(nullptr, SVNET_VERSION_JOBS_ONLY);
    SetApplParam(nullptr, kProgramVersion);
  }
  void SetUp() override {
    if (!InChild()) GTEST_SKIP() << "runs as a child in a program folder of its own";
    // Each test starts with a direct connection (the options test stores a
    // proxy) and without a password.
    SetProxyParam("", 0, "", "");
    ResetAccessFile();
  }
  void TearDown() override {
    if (InChild()) ResetAccessFile();
  }
};

TEST_F(Tools, LetterRefusesAnEmptyTextThenPostsItsFields) {
  nettest::PutServerFile("client/solvika.php.reply", "OK");
  ModalRun run([] { SolvikaMain_ExecModalWindow(100); });
  HWND form = uikit::WaitTopWindow(L"TSVExceptForm", Ru(u8"Solvika | Написать письмо разработчикам").c_str());
  ASSERT_TRUE(form);
  EXPECT_EQ(491, uikit::ClientSize(form).cx);
  EXPECT_FALSE(IsWindowVisible(uikit::FindChild(form, Ru(u8"Сведения о программе:"))));
  ASSERT_TRUE(uikit::Press(form, Ru(u8"Отправить")));
  uikit::MessageBoxSeen box = uikit::WaitMessageBox();
  EXPECT_EQ(Ru(u8"Введите текст сообщения"), box.text);
  uikit::Answer(box, IDOK);

  HWND text = uikit::FindChild(form, "", L"Edit");
  // The letter's text takes at most 1000 characters, as typed or pasted.
  EXPECT_EQ(1000, SendMessageW(text, EM_GETLIMITTEXT, 0, 0));
  uikit::SetText(text, "hello there");
  uikit::SetText(uikit::FindEditByLabel(form, Ru(u8"Ваш E-Mail:").c_str()), "me@x.ru");
  uikit::SetText(uikit::FindEditByLabel(form, Ru(u8"Ваш ICQ#").c_str()), "123");
  Shot("report_letter.png");
  ASSERT_TRUE(uikit::Press(form, Ru(u8"Отправить")));
  box = uikit::WaitMessageBox(GetCurrentProcessId(), 60000);
  EXPECT_EQ(Ru(u8"Отчет отправлен\rСпасибо за помощь!"), box.text);
  uikit::Answer(box, IDOK);
  ASSERT_TRUE(run.Wait());

  auto sent = nettest::RequestsFor("action=sendmsg");
  ASSERT_EQ(1u, sent.size());
  // URL encoding leaves only letters, digits and "_" as they are: "." too is encoded.
  EXPECT_NE(std::string::npos, sent[0].find("email=me%40x%2Eru&icq=123")) << sent[0];
  EXPECT_NE(std::string::npos, sent[0].find("\"UserMsg\": \"hello there\"")) << sent[0];
  EXPECT_NE(std::string::npos, sent[0].find("PatchKeeper.svx (")) << sent[0];
  EXPECT_EQ("me@x.ru", StoredEmail());
}

TEST_F(Tools, ErrorLogSendsAnEmptyDescriptionAndReportsAFailure) {
  DeleteFileW(sv::Wide(nettest::ServerPath("client/solvika.php.reply")).c_str());
  ModalRun run([] { SolvikaMain_ExecExceptWindow("Boom"); });
  HWND form = uikit::WaitTopWindow(L"TSVExceptForm", Ru(u8"Solvika | Журнал ошибок").c_str());
  ASSERT_TRUE(form);
  HWND system = uikit::FindChild(form, Ru(u8"Сведения о программе:"));
  EXPECT_TRUE(IsWindowVisible(system));
  std::string shown;
  for (HWND c = GetWindow(form, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    if (GetWindowLongW(c, GWL_STYLE) & ES_READONLY && uikit::ClassOf(c) == L"Edit") shown = uikit::Text(c);
  EXPECT_EQ(0u, shown.find(Ru(u8"Ошибка:\r\nBoom\r\n\r\n\r\nСлужебная информация: \r\nВерсия программы: 418\r\n"))) << shown;
  // The description has the focus for the user to type in, not the system text.
  GUITHREADINFO gui = {};
  gui.cbSize = sizeof gui;
  ASSERT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(form, nullptr), &gui));
  const LONG focusStyle = GetWindowLongW(gui.hwndFocus, GWL_STYLE);
  EXPECT_TRUE((focusStyle & ES_MULTILINE) && !(focusStyle & ES_READONLY)) << focusStyle;
  uikit::SetText(uikit::FindEditByLabel(form, Ru(u8"Ваш E-Mail:").c_str()), "fail@x.ru");
  Shot("report_error_log.png");
  ASSERT_TRUE(uikit::Press(form, Ru(u8"Отправить отчет")));
  uikit::MessageBoxSeen box = uikit::WaitMessageBox(GetCurrentProcessId(), 60000);
  EXPECT_EQ(Ru(u8"Отчет не отправлен\rНевозможно подключиться к серверу!"), box.text);
  uikit::Answer(box, IDOK);
  // The user may send again; the e-mail was kept.
  EXPECT_TRUE(uikit::PumpUntil([&] { return IsWindowEnabled(uikit::FindChild(form, Ru(u8"Отправить отчет"))) != 0; }));
  EXPECT_EQ("fail@x.ru", StoredEmail());
  EXPECT_EQ(1u, nettest::RequestsFor("action=senderror").size());
  uikit::PressKey(form, VK_ESCAPE);
  ASSERT_TRUE(run.Wait());
}

TEST_F(Tools, OptionsCheckThePortAndStoreTheProxy) {
  SetProxyParam("", 0, "", "");
  ModalRun run([] { SolvikaMain_ExecModalWindow(1); });
  HWND form = uikit::WaitTopWindow(L"TSVOptionsForm", Ru(u8"Настройки").c_str());
  ASSERT_TRUE(form);
  HWND server = uikit::FindEditByLabel(form, Ru(u8"Сервер").c_str());
  EXPECT_FALSE(IsWindowEnabled(server));  // direct connection
  ASSERT_TRUE(uikit::Press(form, Ru(u8"Собственные настройки")));
  EXPECT_TRUE(uikit::PumpUntil([&] { return IsWindowEnabled(server) != 0; }));
  uikit::SetText(server, "proxy.local");
  uikit::SetText(uikit::FindEditByLabel(form, Ru(u8"Порт").c_str()), "abc");
  Shot("options.png");
  ASSERT_TRUE(uikit::Press(form, Ru(u8"Сохранить")));
  uikit::MessageBoxSeen box = uikit::WaitMessageBox();
  EXPECT_EQ(Ru(u8"Неверно задан порт"), box.text);
  EXPECT_EQ(Ru(u8"Настройки"), box.caption);
  uikit::Answer(box, IDOK);
  uikit::SetText(uikit::FindEditByLabel(form, Ru(u8"Порт").c_str()), "3128");
  ASSERT_TRUE(uikit::Press(form, Ru(u8"Браузера по умолчанию")));
  ASSERT_TRUE(uikit::Press(form, Ru(u8"Сохранить")));
  ASSERT_TRUE(run.Wait());
  SvStr host = nullptr, login = nullptr, password = nullptr;
  uint16_t port = 0;
  GetProxyParam(&host, &port, &login, &password);
  EXPECT_EQ("proxy.local", sv::Take(host));
  sv::Take(login), sv::Take(password);
  EXPECT_EQ(3128, port);
  EXPECT_EQ(0, GetIniInt("Solvika", "ShowProxy", 1));
  EXPECT_FALSE(SVGetWWWDefIEBrowser());
}

TEST_F(Tools, AboutAndDownloadPage) {
  {
    ModalRun run([] { SolvikaMain_ExecModalWindow(1000); });
    HWND about = uikit::WaitTopWindow(L"TSVAboutForm", Ru(u8"О программе...").c_str());
    ASSERT_TRUE(about);
    EXPECT_TRUE(uikit::FindChild(about, Ru(u8"Версия: 4.18")));
    Shot("about.png");
    uikit::Press(about, "OK");
    ASSERT_TRUE(run.Wait());
  }
  SetIniString("Solvika", "DownloadPage", "http://127.0.0.1/get/");
  ModalRun run([] { SolvikaMain_ExecModalWindow(1001); });
  HWND page = uikit::WaitTopWindow(L"TSVWhereverForm", "Solvika");
  ASSERT_TRUE(page);
  EXPECT_TRUE(uikit::FindChild(page, "http://127.0.0.1/get/"));
  Shot("download_page.png");
  // Emptied first: the clipboard outlives the tests, and an earlier test's
  // text would read as this copy.
  if (OpenClipboard(nullptr)) {
    EmptyClipboard();
    CloseClipboard();
  }
  ASSERT_TRUE(uikit::Press(page, Ru(u8"Копировать ссылку")));
  std::wstring copied;
  uikit::PumpUntil([&] {
    if (!OpenClipboard(nullptr)) return false;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) copied = static_cast<const wchar_t*>(GlobalLock(data)), GlobalUnlock(data);
    CloseClipboard();
    return !copied.empty();
  });
  // Wine's clipboard on a fresh virtual display sometimes hands nothing back
  // at all; what it does hand back must be the link.
  if (copied.empty())
    std::printf("note: the clipboard gave nothing back on this display\n");
  else
    EXPECT_EQ(L"http://127.0.0.1/get/", copied);
  uikit::PressKey(page, VK_ESCAPE);
  ASSERT_TRUE(run.Wait());
}


// ---- the program backup ----

namespace {

constexpr UINT kRunCode = WM_APP + 1;  // lParam: a code for SolvikaMain_ExecWindow
// What SolvikaMain_ExecWindow returned on the shell thread, in order.
std::mutex g_execLock;
std::vector<int32_t> g_execResults;

size_t ExecCount() {
  std::lock_guard<std::mutex> hold(g_execLock);
  return g_execResults.size();
}

// The result of the call after the first `before`, once it has returned.
int32_t ExecResultAfter(size_t before) {
  if (!uikit::PumpUntil([&] { return ExecCount() > before; })) return -1;
  std::lock_guard<std::mutex> hold(g_execLock);
  return g_execResults[before];
}

LRESULT CALLBACK ShellProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == kRunCode || (message == WM_USER + 1 && wparam == 101)) {
    const int32_t result = SolvikaMain_ExecWindow(static_cast<int32_t>(lparam));
    std::lock_guard<std::mutex> hold(g_execLock);
    g_execResults.push_back(result);
    return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

// The shell's main window on a thread of its own with its message loop, so
// that the non-modal backup window lives as it does in the shell.
class ShellThread {
 public:
  ShellThread() : thread_([this] { Run(); }) { uikit::PumpUntil([&] { return frame_ != nullptr; }); }
  ~ShellThread() {
    PostMessageW(frame_, WM_CLOSE, 0, 0);
    thread_.join();
  }
  // Runs SolvikaMain_ExecWindow(code) on the shell's thread; its result.
  int32_t Exec(int32_t code) {
    const size_t before = ExecCount();
    PostMessageW(frame_, kRunCode, 0, code);
    return ExecResultAfter(before);
  }

 private:
  void Run() {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = ShellProcedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TSolvikaMainForm";
    RegisterClassW(&wc);
    HWND frame = CreateWindowExW(0, L"TSolvikaMainForm", L"Solvika", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
    frame_ = frame;
    MSG m;
    while (GetMessageW(&m, nullptr, 0, 0) > 0) {
      if (m.message == WM_CLOSE && m.hwnd == frame) break;
      TranslateMessage(&m);
      DispatchMessageW(&m);
    }
    DestroyWindow(frame);
  }

  std::atomic<HWND> frame_{nullptr};
  std::thread thread_;
};

std::vector<std::string> FilesBelow(const std::string& folder, const std::string& relative = "") {
  std::vector<std::string> files;
  for (const sv::FolderEntry& e : sv::FindEntries(folder + relative + "*")) {
    if (e.isFolder) {
      auto sub = FilesBelow(folder, relative + e.name + "\\");
      files.insert(files.end(), sub.begin(), sub.end());
    } else {
      files.push_back(relative + e.name);
    }
  }
  return files;
}

}  // namespace

TEST_F(Tools, BackupIsRestoredByItsExtractorByteForByte) {
  const std::string program = sv::ProgramFolder();
  const std::string cyr = Ru(u8"Данные");
  ASSERT_TRUE(sv::CreateFolderTree(program + "sub\\" + cyr + "\\deep"));
  ASSERT_TRUE(WriteFileBytes(program + "sub\\a~b.txt", "tilde"));
  ASSERT_TRUE(WriteFileBytes(program + "top~name.dat", nettest::Pattern(70000, 1)));
  ASSERT_TRUE(WriteFileBytes(program + "sub\\" + cyr + "\\" + Ru(u8"Словарь.ini"), Ru(u8"[Раздел]\r\n")));
  ASSERT_TRUE(WriteFileBytes(program + "sub\\" + cyr + "\\deep\\empty.bin", ""));
  ScratchDir out("bk");
  const std::string target = out.Path() + Ru(u8"Копия") + ".Exe";

  ShellThread shell;
  ASSERT_EQ(0, shell.Exec(1));
  HWND form = uikit::WaitTopWindow(L"TSVDumpForm", Ru(u8"Резервная копия программы").c_str());
  ASSERT_TRUE(form);
  EXPECT_EQ(1, shell.Exec(1));  // a second opening only activates it

  ASSERT_TRUE(uikit::Press(form, Ru(u8"Старт")));
  uikit::MessageBoxSeen box = uikit::WaitMessageBox();
  EXPECT_EQ(Ru(u8"Выберите файл"), box.text);
  uikit::Answer(box, IDOK);

  uikit::SetText(uikit::FindChild(form, "", L"Edit"), "  " + target + " ");
  ASSERT_TRUE(uikit::Press(form, Ru(u8"Старт")));
  box = uikit::WaitMessageBox(GetCurrentProcessId(), 120000);
  const std::string base = out.Path() + Ru(u8"Копия");
  EXPECT_EQ(Ru(u8"Резервную копию программы сделано!\rНеобходимые файлы для распаковки:\r - ") + base + ".exe\r - " +
                base + ".dump",
            box.text);
  Shot("backup.png");
  const size_t execsBefore = ExecCount();
  uikit::Answer(box, IDOK);
  // Closing asks the shell, which destroys the window through the library;
  // the window is gone before that call returns its count.
  EXPECT_TRUE(uikit::WaitGone(form));
  EXPECT_EQ(2, ExecResultAfter(execsBefore));
  ASSERT_TRUE(sv::FileExists(base + ".exe"));
  ASSERT_TRUE(sv::FileExists(base + ".dump"));
  EXPECT_FALSE(sv::FolderExists(base + ".tmp"));

  // The extractor restores every file under its original path.
  const std::string restored = out.Path() + "restored\\";
  ChildResult r = RunChild(base + ".exe", "/to:" + restored, out.Path(), 120000);
  EXPECT_EQ(0u, r.exitCode) << r.output;
  std::vector<std::string> files = FilesBelow(program);
  EXPECT_EQ(files, FilesBelow(restored));
  for (const std::string& f : files) EXPECT_EQ(ReadFileBytes(program + f), ReadFileBytes(restored + f)) << f;
}

TEST_F(Tools, BackupWithoutItsExtractorSaysWhatIsMissing) {
  const std::string program = sv::ProgramFolder();
  ASSERT_TRUE(MoveFileW(sv::Wide(program + "SolvikaDump.dll").c_str(), sv::Wide(program + "SolvikaDump.off").c_str()));
  ScratchDir out("bk");
  ShellThread shell;
  ASSERT_EQ(0, shell.Exec(1));
  HWND form = uikit::WaitTopWindow(L"TSVDumpForm", nullptr);
  ASSERT_TRUE(form);
  uikit::SetText(uikit::FindChild(form, "", L"Edit"), out.Path() + "x.exe");
  ASSERT_TRUE(uikit::Press(form, Ru(u8"Старт")));
  uikit::MessageBoxSeen box = uikit::WaitMessageBox();
  EXPECT_EQ(Ru(u8"Невозможно сделать резервную копию программы!\rНе найден файл \"") + program +
                "SolvikaDump.dll\"!\r\r" + Ru(u8"Переустановите программу!"),
            box.text);
  uikit::Answer(box, IDOK);
  EXPECT_EQ(2, shell.Exec(101));
  EXPECT_EQ(1, shell.Exec(101));
  MoveFileW(sv::Wide(program + "SolvikaDump.off").c_str(), sv::Wide(program + "SolvikaDump.dll").c_str());
  EXPECT_FALSE(sv::FileExists(out.Path() + "x.dump"));
}


// ---- access management ----

namespace {

const std::string kAccessCaption = Ru(u8"Управление доступом");

// Answers the shell's password prompt (the access library asks through it).
bool AnswerPasswordPrompt(const std::string& password) {
  HWND prompt = uikit::WaitTopWindow(L"TPasswordForm", nullptr, GetCurrentProcessId());
  if (!prompt) return false;
  uikit::SetText(uikit::FindChild(prompt, "", L"Edit"), password);
  return uikit::Press(prompt, "OK");
}

// Waits for a message box, checks its text and caption, and presses OK.
void ExpectBox(const std::string& text, const std::string& caption, DWORD waitMs = uikit::kDefaultWaitMs) {
  uikit::MessageBoxSeen box = uikit::WaitMessageBox(GetCurrentProcessId(), waitMs);
  EXPECT_EQ(text, box.text);
  EXPECT_EQ(caption, box.caption);
  uikit::Answer(box, IDOK);
}

bool Ticked(HWND form, const char* utf8) {
  return SendMessageW(uikit::FindChild(form, Ru(utf8), L"Button"), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

std::string Hex(const std::string& bytes) {
  sv::OwnedStr s(bytes);
  return sv::Take(Str2HTTP(s));
}

std::string Encoded(const std::string& text) {
  sv::OwnedStr s(text);
  return sv::Take(UrlEncode(s));
}

// The password window, opened from the access window (which the caller's
// window code 2 shows, with no password set) by "Задать пароль...".
struct PasswordWindows {
  HWND protect = nullptr, form = nullptr;
};
PasswordWindows OpenPasswordWindow() {
  PasswordWindows w;
  w.protect = uikit::WaitTopWindow(L"TSVProtectForm", kAccessCaption.c_str());
  if (w.protect && uikit::Press(w.protect, Ru(u8"Задать пароль...")))
    w.form = uikit::WaitTopWindow(L"TForm6", kAccessCaption.c_str());
  return w;
}

// The rights editor's tree: every item, depth first, and what it shows.
void CollectItems(HWND tree, HTREEITEM first, std::vector<HTREEITEM>* items) {
  for (HTREEITEM i = first; i; i = TreeView_GetNextSibling(tree, i)) {
    items->push_back(i);
    CollectItems(tree, TreeView_GetChild(tree, i), items);
  }
}

std::string ItemText(HWND tree, HTREEITEM item) {
  wchar_t buffer[256] = {};
  TVITEMW query = {};
  query.mask = TVIF_TEXT;
  query.hItem = item;
  query.pszText = buffer;
  query.cchTextMax = 256;
  SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query));
  return sv::Narrow(buffer);
}

int StateImage(HWND tree, HTREEITEM item) {
  return static_cast<int>(SendMessageW(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_STATEIMAGEMASK) >> 12);
}

HWND VisibleChild(HWND parent, const wchar_t* windowClass) {
  for (HWND c = FindWindowExW(parent, nullptr, windowClass, nullptr); c; c = FindWindowExW(parent, c, windowClass, nullptr))
    if (IsWindowVisible(c)) return c;
  return nullptr;
}

}  // namespace

TEST_F(Tools, AccessWithoutPasswordRefusesProtection) {
  PFStatus(PF_OFF_UNTIL_RESTART);
  ModalRun run([] { SolvikaMain_ExecModalWindow(2); });
  HWND form = uikit::WaitTopWindow(L"TSVProtectForm", kAccessCaption.c_str());  // no password: no prompt
  ASSERT_TRUE(form);
  EXPECT_EQ(402, uikit::ClientSize(form).cx);
  EXPECT_EQ(335, uikit::ClientSize(form).cy);
  EXPECT_TRUE(Ticked(form, u8"Отключить защиту до перезапуска программы"));
  Shot("access.png");

  ASSERT_TRUE(uikit::Press(form, Ru(u8"Включить защиту")));
  ExpectBox(Ru(u8"Пароль не задан!\rЗадайте пожалуйста пароль"), kAccessCaption);
  EXPECT_TRUE(uikit::PumpUntil([&] { return Ticked(form, u8"Отключить защиту"); }));
  EXPECT_FALSE(Ticked(form, u8"Включить защиту"));
  EXPECT_EQ(PF_PROTECTION_OFF, PFStatus(0));

  ASSERT_TRUE(uikit::Press(form, Ru(u8"Настроить...")));
  ExpectBox(Ru(u8"Пароль не задан!\rЗадайте пожалуйста пароль"), kAccessCaption);
  EXPECT_FALSE(uikit::FindTopWindow(L"TForm7", nullptr, GetCurrentProcessId()));
  uikit::PressKey(form, VK_ESCAPE);
  ASSERT_TRUE(run.Wait());
}

TEST_F(Tools, PasswordIsCheckedThenRegisteredWithTheServer) {
  DeleteFileW(sv::Wide(nettest::ServerPath("client/register.php.reply")).c_str());
  SetIniString("Solvika", "EML", Hex("old@x.ru").c_str());
  ModalRun run([] { SolvikaMain_ExecModalWindow(2); });
  const auto [protect, form] = OpenPasswordWindow();
  ASSERT_TRUE(protect);
  ASSERT_TRUE(form);
  EXPECT_EQ(425, uikit::ClientSize(form).cx);
  EXPECT_EQ(229, uikit::ClientSize(form).cy);
  HWND first = uikit::FindEditByLabel(form, Ru(u8"Пароль").c_str());
  HWND second = uikit::FindEditByLabel(form, Ru(u8"Пароль еще раз").c_str());
  HWND email = uikit::FindEditByLabel(form, Ru(u8"Ваш E-Mail").c_str());
  ASSERT_TRUE(first && second && email && first != second);
  EXPECT_EQ("old@x.ru", uikit::Text(email));
  EXPECT_EQ('*', SendMessageW(first, EM_GETPASSWORDCHAR, 0, 0));
  EXPECT_EQ(20, SendMessageW(second, EM_GETLIMITTEXT, 0, 0));
  EXPECT_EQ(50, SendMessageW(email, EM_GETLIMITTEXT, 0, 0));

  uikit::SetText(first, "abc");
  uikit::SetText(second, "abd");
  ASSERT_TRUE(uikit::Press(form, Ru(u8"Задать")));
  ExpectBox(Ru(u8"Подтверждение не совпадает"), kAccessCaption);
  EXPECT_TRUE(uikit::PumpUntil([&] { return uikit::Text(first).empty() && uikit::Text(second).empty(); }));

  const std::string password = "p&ss w";
  uikit::SetText(first, password);
  uikit::SetText(second, password);
  uikit::SetText(email, "me@x.c");  // a domain of three characters
  ASSERT_TRUE(uikit::Press(form, Ru(u8"Задать")));
  ExpectBox(Ru(u8"Задайте правильно свой E-Mail"), kAccessCaption);
  EXPECT_TRUE(nettest::RequestsFor("register.php").empty());

  // The server refuses (no reply): the old state stays and the fields are
  // ready for another try.
  uikit::SetText(email, " me@x.ru ");
  Shot("access_password.png");
  ASSERT_TRUE(uikit::Press(form, Ru(u8"Задать")));
  uikit::MessageBoxSeen box = uikit::WaitMessageBox(GetCurrentProcessId(), 60000);
  EXPECT_EQ(0u, box.text.find(Ru(u8"Не удалось зарегистрировать пароль!\rНевозможно подключиться к серверу!"))) << box.text;
  EXPECT_EQ(kAccessCaption, box.caption);
  uikit::Answer(box, IDOK);
  EXPECT_TRUE(uikit::PumpUntil([&] { return IsWindowEnabled(first) && uikit::Text(first).empty(); }));
  EXPECT_TRUE(PFisPassEmpty());

  nettest::PutServerFile("client/register.php.reply", "OK");
  uikit::SetText(first, password);
  uikit::SetText(second, password);
  ASSERT_TRUE(uikit::Press(form, Ru(u8"Задать")));
  ExpectBox(Ru(u8"Ваш пароль успешно зарегистрирован!"), kAccessCaption, 60000);
  EXPECT_TRUE(uikit::WaitGone(form));
  uikit::PressKey(protect, VK_ESCAPE);
  ASSERT_TRUE(run.Wait());

  auto sent = nettest::RequestsFor("register.php");
  ASSERT_EQ(2u, sent.size());
  const std::string query = "act=set&stat=" + sv::TakeOut(GetProgramId) + "&ver=418&pw=" + Encoded(password) +
                            "&email=" + Encoded("me@x.ru");
  EXPECT_NE(std::string::npos, sent[1].find(query)) << sent[1] << "\n" << query;
  EXPECT_FALSE(PFisPassEmpty());
  EXPECT_EQ("me@x.ru", StoredEmail());
}

// While the registration request runs (here a proxy that never answers,
// until the request's time-out), neither the close box, Escape nor
// "Закрыть" ends the window; after the failure they do.
TEST_F(Tools, PasswordWindowStaysOpenWhileItsRequestRuns) {
  const std::string stalling = nettest::FaultHost("stallhead");
  ASSERT_FALSE(stalling.empty());
  const size_t colon = stalling.rfind(':');
  SetProxyParam(stalling.substr(0, colon).c_str(), std::stoi(stalling.substr(colon + 1)), "", "");
  ModalRun run([] { SolvikaMain_ExecModalWindow(2); });
  const auto [protect, form] = OpenPasswordWindow();
  ASSERT_TRUE(protect);
  ASSERT_TRUE(form);
  uikit::SetText(uikit::FindEditByLabel(form, Ru(u8"Пароль").c_str()), "pw");
  uikit::SetText(uikit::FindEditByLabel(form, Ru(u8"Пароль еще раз").c_str()), "pw");
  uikit::SetText(uikit::FindEditByLabel(form, Ru(u8"Ваш E-Mail").c_str()), "me@x.ru");
  ASSERT_TRUE(uikit::Press(form, Ru(u8"Задать")));
  PostMessageW(form, WM_CLOSE, 0, 0);
  uikit::PressKey(form, VK_ESCAPE);
  uikit::Press(form, Ru(u8"Закрыть"));
  Sleep(500);
  EXPECT_TRUE(IsWindow(form));
  uikit::MessageBoxSeen box = uikit::WaitMessageBox(GetCurrentProcessId(), 60000);
  EXPECT_EQ(0u, box.text.find(Ru(u8"Не удалось зарегистрировать пароль!"))) << box.text;
  uikit::Answer(box, IDOK);
  EXPECT_TRUE(PFisPassEmpty());
  PostMessageW(form, WM_CLOSE, 0, 0);
  EXPECT_TRUE(uikit::WaitGone(form));
  uikit::PressKey(protect, VK_ESCAPE);
  ASSERT_TRUE(run.Wait());
  SetProxyParam("", 0, "", "");
}

TEST_F(Tools, AccessWithAPasswordAsksForIt) {
  PFChPass("secret");
  {
    ModalRun run([] { SolvikaMain_ExecModalWindow(2); });
    ASSERT_TRUE(AnswerPasswordPrompt("wrong"));
    ExpectBox(Ru(u8"Пароль не правельный!"), "Solvika");
    ASSERT_TRUE(run.Wait());
  }
  EXPECT_FALSE(uikit::FindTopWindow(L"TSVProtectForm", nullptr, GetCurrentProcessId()));
  ModalRun run([] { SolvikaMain_ExecModalWindow(2); });
  ASSERT_TRUE(AnswerPasswordPrompt("secret"));
  HWND form = uikit::WaitTopWindow(L"TSVProtectForm", kAccessCaption.c_str());
  ASSERT_TRUE(form);
  uikit::PressKey(form, VK_RETURN);
  ASSERT_TRUE(run.Wait());
}

TEST_F(Tools, RightsEditorShowsAModuleOfTwoFilesAndReleasesAnItem) {
  const std::string program = sv::ProgramFolder();
  ASSERT_TRUE(WriteFileBytes(program + "games.svm", Ru(u8"*chess\r\n#Шахматы\r\n%Board\r\n+Board\r\n#Настольные\r\n"
                                                     u8"*go\r\n#Го\r\n%Board\r\n")));
  ASSERT_TRUE(WriteFileBytes(program + "games.ini", Ru(u8"[*tetris]\r\nName=Тетрис\r\n")));
  SetIniString("*Games", "Name", Ru(u8"Игры").c_str());
  PFRegisterModule("Games", "games.svm");
  PFRegisterModule("Games", "games.ini");
  PFSetCStatus("games.svm", "*chess", 1);
  PFChPass("pw");

  ModalRun run([] { SolvikaMain_ExecModalWindow(2); });
  ASSERT_TRUE(AnswerPasswordPrompt("pw"));
  HWND protect = uikit::WaitTopWindow(L"TSVProtectForm", kAccessCaption.c_str());
  ASSERT_TRUE(protect);
  ASSERT_TRUE(uikit::Press(protect, Ru(u8"Настроить...")));
  HWND form = uikit::WaitTopWindow(L"TForm7", kAccessCaption.c_str());
  ASSERT_TRUE(form);
  EXPECT_EQ(348, uikit::ClientSize(form).cx);
  EXPECT_EQ(420, uikit::ClientSize(form).cy);

  HWND tabs = FindWindowExW(form, nullptr, WC_TABCONTROLW, nullptr);
  ASSERT_EQ(1, TabCtrl_GetItemCount(tabs));
  wchar_t tabText[64] = {};
  TCITEMW tab = {};
  tab.mask = TCIF_TEXT;
  tab.pszText = tabText;
  tab.cchTextMax = 64;
  SendMessageW(tabs, TCM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tab));
  EXPECT_EQ(Ru(u8"Игры"), sv::Narrow(tabText));

  HWND tree = VisibleChild(form, WC_TREEVIEWW);
  ASSERT_TRUE(tree);
  std::vector<HTREEITEM> items;
  CollectItems(tree, TreeView_GetRoot(tree), &items);
  std::vector<std::string> names;
  for (HTREEITEM i : items) names.push_back(ItemText(tree, i));
  // The category with children first, then the leaves; both files' items.
  EXPECT_EQ((std::vector<std::string>{Ru(u8"Настольные"), Ru(u8"Го"), Ru(u8"Шахматы"), Ru(u8"Тетрис")}), names);
  HWND toggle = nullptr;  // its caption follows the selection the tree starts with
  for (const char* caption : {u8"Запретить доступ", u8"Разрешить доступ"})
    if (!toggle) toggle = uikit::FindChild(form, Ru(caption), L"Button");
  ASSERT_TRUE(toggle);

  ASSERT_EQ(4u, items.size());
  HTREEITEM chess = items[2];
  EXPECT_EQ(1, StateImage(tree, chess));
  EXPECT_EQ(0, StateImage(tree, items[1]));
  TreeView_Expand(tree, items[0], TVE_EXPAND);
  TreeView_SelectItem(tree, chess);
  EXPECT_TRUE(uikit::PumpUntil([&] { return IsWindowEnabled(toggle) && uikit::Text(toggle) == Ru(u8"Разрешить доступ"); }));
  Shot("access_rights.png");
  ASSERT_TRUE(uikit::Press(form, Ru(u8"Разрешить доступ")));
  EXPECT_TRUE(uikit::PumpUntil([&] { return uikit::Text(toggle) == Ru(u8"Запретить доступ"); }));
  EXPECT_EQ(0, StateImage(tree, chess));
  EXPECT_FALSE(PFGetCStatus("games.svm", "*chess"));

  uikit::PressKey(form, VK_ESCAPE);
  EXPECT_TRUE(uikit::WaitGone(form));
  uikit::PressKey(protect, VK_ESCAPE);
  ASSERT_TRUE(run.Wait());
}
