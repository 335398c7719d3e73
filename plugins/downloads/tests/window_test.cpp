// The downloads window against the real download manager: the test program
// plays the shell (a "TSolvikaMainForm" frame with an MDI client), loads
// FetchKeeper.svx, opens its window through RunPlugin and works it as a
// person would, checking what reaches the manager.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <future>
#include <thread>
#include <vector>

#include "SolvikaDNM.h"
#include "SolvikaMain.h"
#include "SolvikaUtils.h"
#include "dnm_test_support.h"
#include "file_io.h"
#include "job_record.h"
#include "main_form_ids.h"
#include "svstring.h"
#include "test_support.h"
#include "ui_kit.h"
#include "wide.h"

namespace {

using namespace dnmtest;

constexpr DWORD kRefreshWaitMs = 5000;
constexpr uint32_t kDone = 0x10, kLost = 0x11, kHalf = 0x12;

std::vector<WPARAM> g_shellCommands;  // what the plugin posted to the "shell"

LRESULT CALLBACK FrameProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  static HWND client = nullptr;
  if (message == WM_CREATE) {
    CLIENTCREATESTRUCT create = {};
    client = CreateWindowExW(0, L"MDICLIENT", nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 800, 600,
                             window, nullptr, GetModuleHandleW(nullptr), &create);
    return 0;
  }
  if (message == WM_SHELL_COMMAND) {
    g_shellCommands.push_back(wparam);
    return 0;
  }
  return DefFrameProcW(window, client, message, wparam, lparam);
}

// The manager's refresh is slower than the kit's default wait allows for.
template <class Done>
bool PumpUntil(Done done, DWORD ms = kRefreshWaitMs) {
  return uikit::PumpUntil(done, ms);
}

svdnm::JobRecord MakeJob(uint32_t code, uint32_t pos, uint8_t status, const char* title, uint32_t total,
                         uint32_t done) {
  svdnm::JobRecord job;
  job.code = code;
  job.pos = pos;
  job.status = status;
  job.title = title;
  job.totalLength = total;
  job.doneLength = done;
  return job;
}

class DownloadsWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetJobFolder();
    DeleteFileW(sv::Wide(TestProgramFolder() + "SolvikaLC.ini").c_str());
    WriteJob(MakeJob(kDone, 1, SVDNM_INSTALLED, "done.zip", 800, 800));
    WriteJob(MakeJob(kLost, 2, SVDNM_NOT_FOUND, "lost.bin", 0, 0));
    WriteJob(MakeJob(kHalf, 3, SVDNM_PAUSED, "half.bin", 1048576, 524288));
    SolvikaDNMStart();

    WNDCLASSW wc = {};
    wc.lpfnWndProc = FrameProcedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TSolvikaMainForm";
    RegisterClassW(&wc);
    g_shellCommands.clear();
    frame_ = CreateWindowExW(0, L"TSolvikaMainForm", L"Solvika", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 900, 600,
                             nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(frame_);
    plugin_ = LoadLibraryW(L"FetchKeeper.svx");
    ASSERT_TRUE(plugin_);
    auto run = reinterpret_cast<HWND(SVAPI*)(const char*, HWND)>(GetProcAddress(plugin_, "RunPlugin"));
    auto version = reinterpret_cast<int32_t(SVAPI*)()>(GetProcAddress(plugin_, "GetModuleVersion"));
    ASSERT_TRUE(run && version);
    EXPECT_EQ(113, version());
    form_ = run("FetchKeeper", nullptr);
    ASSERT_TRUE(form_);
    list_ = FindWindowExW(form_, nullptr, WC_LISTVIEWW, nullptr);
    ASSERT_TRUE(list_);
    ASSERT_TRUE(WaitRows(3));
  }

  void TearDown() override {
    if (form_ && IsWindow(form_)) DestroyWindow(form_);
    if (plugin_) FreeLibrary(plugin_);
    if (frame_) DestroyWindow(frame_);
    SolvikaDNMStop();
  }

  std::vector<std::vector<std::string>> Rows() { return uikit::ListViewRows(list_, 6); }
  bool WaitRows(size_t count) {
    return PumpUntil([&] { return Rows().size() == count; });
  }
  HWND Button(const char* utf8) { return uikit::FindChild(form_, sv::Ru(utf8), L"Button"); }
  void Press(const char* utf8) {
    ASSERT_TRUE(uikit::Press(form_, sv::Ru(utf8))) << utf8;
    PumpUntil([] { return false; }, 100);
  }
  void Command(int id) { SendMessageW(form_, WM_COMMAND, id, 0); }
  int Picture(const char* utf8) {
    return static_cast<int>(reinterpret_cast<INT_PTR>(GetPropW(Button(utf8), L"SvPicture"))) - 1;
  }
  void Select(int row) {
    LVITEMW item = {};
    item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list_, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
  }
  int SelectedRow() { return (int)SendMessageW(list_, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED); }
  std::vector<std::string> Titles() {
    std::vector<std::string> titles;
    for (const JobLine& job : Jobs())
      if (job.status != SVDNM_DELETED) titles.push_back(job.title);
    return titles;
  }

  // Answers the next message box of this process from another thread while
  // this one runs the window's messages; what the box showed.
  uikit::MessageBoxSeen AnswerBox(int button, std::function<void()> open) {
    auto seen = std::async(std::launch::async, [button] {
      uikit::MessageBoxSeen box = uikit::WaitMessageBox(GetCurrentProcessId());
      if (box.window) uikit::Answer(box, button);
      return box;
    });
    open();
    PumpUntil([&] { return seen.wait_for(std::chrono::seconds(0)) == std::future_status::ready; });
    return seen.get();
  }

  HWND frame_ = nullptr, form_ = nullptr, list_ = nullptr;
  HMODULE plugin_ = nullptr;
};

TEST_F(DownloadsWindow, ShowsTheJobsNewestFirstWithTheirFigures) {
  wchar_t cls[64] = {};
  GetClassNameW(form_, cls, 64);
  EXPECT_STREQ(L"TSVDM_MainForm", cls);
  EXPECT_EQ(GetParent(form_), FindWindowExW(frame_, nullptr, L"MDICLIENT", nullptr));
  auto rows = Rows();
  ASSERT_EQ(3u, rows.size());
  EXPECT_EQ((std::vector<std::string>{"half.bin", "50 %", "512.0 k", "1.0 M", "", ""}), rows[0]);
  EXPECT_EQ((std::vector<std::string>{"lost.bin", "", "", "", "", ""}), rows[1]);
  EXPECT_EQ((std::vector<std::string>{"done.zip", "100 %", "800", "800", "", ""}), rows[2]);
  for (const char* caption : {u8"Закрыть", u8"Переместить вверх", u8"Переместить вниз", u8"Старт", u8"Приостановить",
                              u8"Закачать файл", u8"Ограничение скорости", u8"Одновременная закачка"})
    EXPECT_TRUE(Button(caption)) << caption;
  EXPECT_TRUE(uikit::FindChild(form_, sv::Ru(u8"Мастер закачек"), L"Static"));
}

TEST_F(DownloadsWindow, StartAndPauseSwitchTheQueueAndWaitForTheNextRefresh) {
  ASSERT_EQ(0, SVDNMGetParams(SVDNM_GET_ENABLED));
  EXPECT_TRUE(IsWindowEnabled(Button(u8"Старт")));
  EXPECT_FALSE(IsWindowEnabled(Button(u8"Приостановить")));
  // Clicked without running the queue: the refresh timer must not come
  // between the click and the look at both buttons.
  SendMessageW(Button(u8"Старт"), BM_CLICK, 0, 0);
  EXPECT_EQ(1, SVDNMGetParams(SVDNM_GET_ENABLED));
  EXPECT_FALSE(IsWindowEnabled(Button(u8"Старт")));
  EXPECT_FALSE(IsWindowEnabled(Button(u8"Приостановить")));
  ASSERT_TRUE(PumpUntil([&] { return IsWindowEnabled(Button(u8"Приостановить")) != FALSE; }));
  EXPECT_FALSE(IsWindowEnabled(Button(u8"Старт")));
  Press(u8"Приостановить");
  EXPECT_EQ(0, SVDNMGetParams(SVDNM_GET_ENABLED));
  ASSERT_TRUE(PumpUntil([&] { return IsWindowEnabled(Button(u8"Старт")) != FALSE; }));
  // The list's menu does the same.
  Command(IDM_LIST_RUN);
  EXPECT_EQ(1, SVDNMGetParams(SVDNM_GET_ENABLED));
  Command(IDM_LIST_PAUSE);
  EXPECT_EQ(0, SVDNMGetParams(SVDNM_GET_ENABLED));
}

TEST_F(DownloadsWindow, SpeedAndJobMenusSetTheManagerAndTheButtonPictures) {
  Command(IDM_SPEED_BASE + 5);  // 200 kB/s
  EXPECT_EQ(5, SVDNMGetParams(SVDNM_GET_SLEEP));
  EXPECT_FALSE(IsWindowEnabled(Button(u8"Ограничение скорости")));
  ASSERT_TRUE(PumpUntil([&] { return Picture(u8"Ограничение скорости") == 15; }));
  EXPECT_TRUE(IsWindowEnabled(Button(u8"Ограничение скорости")));
  Command(IDM_SPEED_BASE + 1);  // 10 kB/s
  EXPECT_EQ(100, SVDNMGetParams(SVDNM_GET_SLEEP));
  ASSERT_TRUE(PumpUntil([&] { return Picture(u8"Ограничение скорости") == 11; }));
  Command(IDM_SPEED_BASE + 7);  // no limit
  EXPECT_EQ(0, SVDNMGetParams(SVDNM_GET_SLEEP));
  ASSERT_TRUE(PumpUntil([&] { return Picture(u8"Ограничение скорости") == 17; }));
  // A value set elsewhere shows too: 7 ms per chunk lies between the choices.
  SVDNMSetParams(SVDNM_SET_SLEEP, 7);
  EXPECT_TRUE(PumpUntil([&] { return Picture(u8"Ограничение скорости") == 15; }));

  Command(IDM_THREADS_BASE + 4);
  EXPECT_EQ(10, SVDNMGetParams(SVDNM_GET_THREADS));
  EXPECT_FALSE(IsWindowEnabled(Button(u8"Одновременная закачка")));
  ASSERT_TRUE(PumpUntil([&] { return Picture(u8"Одновременная закачка") == 10; }));
  EXPECT_TRUE(IsWindowEnabled(Button(u8"Одновременная закачка")));
  Command(IDM_THREADS_BASE + 1);
  EXPECT_EQ(1, SVDNMGetParams(SVDNM_GET_THREADS));
  ASSERT_TRUE(PumpUntil([&] { return Picture(u8"Одновременная закачка") == 7; }));
  SVDNMSetParams(SVDNM_SET_THREADS, 3);
  EXPECT_TRUE(PumpUntil([&] { return Picture(u8"Одновременная закачка") == 8; }));
}

TEST_F(DownloadsWindow, MovesTheSelectedJobUpAndDownAndKeepsItSelected) {
  EXPECT_FALSE(IsWindowEnabled(Button(u8"Переместить вверх")));
  Select(1);  // lost.bin
  EXPECT_TRUE(IsWindowEnabled(Button(u8"Переместить вверх")));
  Press(u8"Переместить вверх");
  EXPECT_EQ((std::vector<std::string>{"lost.bin", "half.bin", "done.zip"}), Titles());
  EXPECT_EQ("lost.bin", Rows().at(0).at(0));
  EXPECT_EQ(0, SelectedRow());
  Press(u8"Переместить вниз");
  Press(u8"Переместить вниз");
  EXPECT_EQ((std::vector<std::string>{"half.bin", "done.zip", "lost.bin"}), Titles());
  EXPECT_EQ(2, SelectedRow());
}

TEST_F(DownloadsWindow, AClickOnARowEnablesMovingAndAClickBesideTheRowsDisablesIt) {
  auto click = [&](int x, int y) {
    PostMessageW(list_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageW(list_, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    PumpUntil([] { return false; }, 300);
  };
  RECT row = {};
  row.left = LVIR_BOUNDS;
  ASSERT_TRUE(SendMessageW(list_, LVM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&row)));
  click(row.left + 20, (row.top + row.bottom) / 2);  // done.zip
  EXPECT_EQ(2, SelectedRow());
  EXPECT_TRUE(IsWindowEnabled(Button(u8"Переместить вверх")));
  EXPECT_TRUE(IsWindowEnabled(Button(u8"Переместить вниз")));
  Press(u8"Переместить вверх");
  EXPECT_EQ((std::vector<std::string>{"half.bin", "done.zip", "lost.bin"}), Titles());

  click(row.left + 20, row.bottom + 3 * (row.bottom - row.top));  // below the last row
  EXPECT_FALSE(IsWindowEnabled(Button(u8"Переместить вверх")));
  EXPECT_FALSE(IsWindowEnabled(Button(u8"Переместить вниз")));
  Press(u8"Переместить вверх");  // disabled: nothing moves
  EXPECT_EQ((std::vector<std::string>{"half.bin", "done.zip", "lost.bin"}), Titles());
}

TEST_F(DownloadsWindow, DeletionsAskFirstAndOnlyYesDeletes) {
  std::string caption = uikit::Text(form_);
  Select(0);  // half.bin
  uikit::MessageBoxSeen box = AnswerBox(IDNO, [&] { PostMessageW(form_, WM_COMMAND, IDM_LIST_DELETE, 0); });
  EXPECT_EQ(sv::Ru(u8"Удалить эту закачку из списка?"), box.text);
  EXPECT_EQ(caption, box.caption);
  EXPECT_EQ(3u, Titles().size());
  AnswerBox(IDYES, [&] { PostMessageW(form_, WM_COMMAND, IDM_LIST_DELETE, 0); });
  EXPECT_EQ((std::vector<std::string>{"lost.bin", "done.zip"}), Titles());

  box = AnswerBox(IDNO, [&] { PostMessageW(form_, WM_COMMAND, IDM_LIST_DELETE_FINISHED, 0); });
  EXPECT_EQ(sv::Ru(u8"Удалить все завершенные закачки?"), box.text);
  EXPECT_EQ(2u, Titles().size());
  AnswerBox(IDYES, [&] { PostMessageW(form_, WM_COMMAND, IDM_LIST_DELETE_FINISHED, 0); });
  EXPECT_EQ((std::vector<std::string>{"lost.bin"}), Titles());

  box = AnswerBox(IDNO, [&] { PostMessageW(form_, WM_COMMAND, IDM_LIST_DELETE_FAILED, 0); });
  EXPECT_EQ(sv::Ru(u8"Удалить все ошибочные закачки?"), box.text);
  EXPECT_EQ(1u, Titles().size());
  AnswerBox(IDYES, [&] { PostMessageW(form_, WM_COMMAND, IDM_LIST_DELETE_FAILED, 0); });
  EXPECT_TRUE(Titles().empty());
  EXPECT_TRUE(WaitRows(0));
}

TEST_F(DownloadsWindow, UrlDialogRefusesOtherSchemesAndAddsHttpDownloads) {
  std::string folder = TestProgramFolder() + "fk_downloads";
  sv::RemoveFolderTree(folder);
  std::string seenFolder;
  auto fill = [&](const std::string& url, bool untickStart) {
    return std::async(std::launch::async, [&, url, untickStart] {
      HWND dialog = uikit::WaitTopWindow(L"TSVDM_URLForm", sv::Ru(u8"Мастер закачек").c_str(), GetCurrentProcessId());
      if (!dialog) return false;
      seenFolder = uikit::Text(uikit::FindEditByLabel(dialog, sv::Ru(u8"Сохранить в:").c_str()));
      uikit::SetText(uikit::FindEditByLabel(dialog, "URL:"), url);
      uikit::SetText(uikit::FindEditByLabel(dialog, sv::Ru(u8"Сохранить в:").c_str()), folder);
      if (untickStart) uikit::Press(dialog, sv::Ru(u8"Автоматически начинать закачку"));
      return uikit::Press(dialog, "OK");
    });
  };

  auto filled = fill("ftp://127.0.0.1/file.bin", false);
  uikit::MessageBoxSeen box = AnswerBox(IDOK, [&] { Press(u8"Закачать файл"); });
  EXPECT_TRUE(filled.get());
  // Nothing stored yet: the drive root of the program folder.
  EXPECT_EQ(TestProgramFolder().substr(0, 3) + "SVDownloads", seenFolder);
  EXPECT_EQ(0u, box.text.find(sv::Ru(u8"Не правильной URL!\r\rПринимаються ссылки только вида:\r  http://")));
  EXPECT_EQ(3u, Titles().size());

  filled = fill("HTTP://127.0.0.1:9/file.bin", true);
  Press(u8"Закачать файл");
  ASSERT_TRUE(PumpUntil([&] { return filled.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }));
  EXPECT_TRUE(filled.get());
  ASSERT_TRUE(PumpUntil([&] { return Titles().size() == 4; }));
  EXPECT_EQ(0, SVDNMGetParams(SVDNM_GET_ENABLED));  // the box for starting at once was cleared
  EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(sv::Wide(folder).c_str()));
  std::string stored = sv::TakeOut([&](SvStr* out) {
    GetCustomIniString(out, "SVDNM", "SaveFolder", (TestProgramFolder() + "SolvikaLC.ini").c_str(), "");
  });
  EXPECT_EQ(folder, stored);

  // The next time the dialog offers the stored folder, and starts the queue.
  filled = fill("http://127.0.0.1:9/other.bin", false);
  Press(u8"Закачать файл");
  ASSERT_TRUE(PumpUntil([&] { return filled.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }));
  EXPECT_TRUE(filled.get());
  EXPECT_EQ(folder, seenFolder);
  EXPECT_TRUE(PumpUntil([&] { return SVDNMGetParams(SVDNM_GET_ENABLED) == 1; }));
  sv::RemoveFolderTree(folder);
}

TEST_F(DownloadsWindow, ClosingAndActivationAreLeftToTheShell) {
  SendMessageW(form_, WM_CLOSE, 0, 0);
  Press(u8"Закрыть");
  PumpUntil([] { return false; }, 200);
  EXPECT_TRUE(IsWindow(form_));
  int closes = 0;
  for (WPARAM command : g_shellCommands) closes += command == SVSHELL_CLOSE_ACTIVE_PLUGIN;
  EXPECT_EQ(2, closes);
  g_shellCommands.clear();
  // What the MDI client tells a child that becomes active.
  SendMessageW(form_, WM_MDIACTIVATE, 0, reinterpret_cast<LPARAM>(form_));
  PumpUntil([] { return false; }, 200);
  bool activated = false;
  for (WPARAM command : g_shellCommands) activated |= command == SVSHELL_PLUGIN_ACTIVATED;
  EXPECT_TRUE(activated);
}

}  // namespace
