// The chooser's dialogs answered through the window kit, in this process,
// against the real download manager of the test program folder: the jobs each
// answer creates, the queue it switches on and the message it posts to the
// shell's main window.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <string>
#include <thread>

#include "SolvikaDNF.h"
#include "SolvikaDNM.h"
#include "sv_shell.h"
#include "svstring.h"
#include "test_support.h"
#include "ui_kit.h"
#include "wide.h"

namespace {

constexpr int32_t kQueueOff = 0;
constexpr LPARAM kShowDownloadsCommand = 20;

// A stand-in for the shell's main window on a thread of its own that counts
// the "open the downloads" commands it receives.
class FakeMainWindow {
 public:
  FakeMainWindow() {
    thread_ = std::thread([this] { Run(); });
    while (!ready_) Sleep(10);
  }
  ~FakeMainWindow() {
    PostMessageW(window_, WM_CLOSE, 0, 0);
    thread_.join();
  }
  int ShowDownloadsSeen() const { return seen_; }

 private:
  static LRESULT CALLBACK Procedure(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<FakeMainWindow*>(GetWindowLongPtrW(w, GWLP_USERDATA));
    if (m == WM_SHELL_COMMAND && self && wp == SVSHELL_RUN_COMMAND && lp == kShowDownloadsCommand) ++self->seen_;
    if (m == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(w, m, wp, lp);
  }
  void Run() {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = Procedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TSolvikaMainForm";
    RegisterClassW(&wc);
    window_ = CreateWindowW(L"TSolvikaMainForm", L"main", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                            wc.hInstance, nullptr);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ready_ = true;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  }
  std::thread thread_;
  std::atomic<bool> ready_{false};
  std::atomic<int> seen_{0};
  HWND window_ = nullptr;
};

struct Download {
  TSVNetParams p{};
  explicit Download(const std::string& file) {
    p.Size = sizeof(TSVNetParams);
    p.Method = SVNET_GET;
    p.HostMode = SVNET_HOSTS_EXPLICIT;
    p.Timeout = 1000;
    p.Host = sv::NewStr("127.0.0.1:1");  // nobody listens: the queue stays off anyway
    p.Path = sv::NewStr("/chooser/");
    p.Files = sv::NewStr(file);
    std::string target = TestProgramFolder() + "chooser_target\\";
    CreateDirectoryW(sv::Wide(target).c_str(), nullptr);
    p.LocalDir = sv::NewStr(target);
    p.Tag = sv::NewStr("test");
  }
  ~Download() { sv::Release(p.Host), sv::Release(p.Path), sv::Release(p.Files), sv::Release(p.LocalDir), sv::Release(p.Tag); }
};

int JobCount() {
  std::string list = sv::TakeOut(SVDNMImportJobsList);
  int lines = 0;
  for (char c : list) lines += c == '\n';
  return lines;
}

std::string Caption() { return sv::Ru(u8"Мастер закачек"); }

class ChooserDialogs : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { SolvikaDNMStart(); }
  static void TearDownTestSuite() { SolvikaDNMStop(); }
  void SetUp() override {
    SVDNMSetParams(SVDNM_SET_ENABLED, kQueueOff);
    jobsBefore_ = JobCount();
  }
  void TearDown() override { uikit::CloseLeftovers(GetCurrentProcessId(), L"TSVDNMQueryForm"),
                             uikit::CloseLeftovers(GetCurrentProcessId(), L"TSVDNMMultiQueryForm"); }

  // Runs `call` on a thread while `answer` acts on the dialog of class `cls`.
  template <class Call, class Act>
  uint32_t WithDialog(const wchar_t* cls, Call call, Act answer) {
    std::atomic<uint32_t> result{0xDEADu};
    std::thread caller([&] { result = call(); });
    HWND dialog = uikit::WaitTopWindow(cls, Caption().c_str(), GetCurrentProcessId());
    EXPECT_NE(dialog, nullptr);
    if (dialog) answer(dialog);
    caller.join();
    return result;
  }
  int NewJobs() const { return JobCount() - jobsBefore_; }
  bool QueueOn() const { return SVDNMGetParams(SVDNM_GET_ENABLED) != 0; }

  int jobsBefore_ = 0;
  FakeMainWindow main_;
};

uint32_t AskSingle(const char* title) {
  Download d("one.bin");
  TSVNetParams noAfter{};  // Size 0: no after-request
  return SVDNFCreateJob(&d.p, &noAfter, title, 0, "chooser-single");
}

TEST_F(ChooserDialogs, SingleQuestionShowsTheTitleInQuotes) {
  std::string shown;
  WithDialog(L"TSVDNMQueryForm", [] { return AskSingle("Plugin"); }, [&](HWND d) {
    shown = uikit::Text(uikit::FindChild(d, sv::Ru(u8"Загрузить \"Plugin\"?")));
    uikit::Press(d, sv::Ru(u8"Отмена"));
  });
  EXPECT_EQ(shown, sv::Ru(u8"Загрузить \"Plugin\"?"));
}

TEST_F(ChooserDialogs, SingleLoadCreatesStartsAndShowsTheDownloads) {
  uint32_t code = WithDialog(L"TSVDNMQueryForm", [] { return AskSingle("a"); },
                             [](HWND d) { uikit::Press(d, sv::Ru(u8"Загрузить")); });
  EXPECT_NE(code, 0u);
  EXPECT_NE(code, 0xFFFFFFFFu);
  EXPECT_EQ(NewJobs(), 1);
  EXPECT_TRUE(QueueOn());
  Sleep(300);
  EXPECT_EQ(main_.ShowDownloadsSeen(), 1);
}

TEST_F(ChooserDialogs, SingleBackgroundStartsTheQueueWithoutShowing) {
  uint32_t code = WithDialog(L"TSVDNMQueryForm", [] { return AskSingle("b"); },
                             [](HWND d) { uikit::Press(d, sv::Ru(u8"Загрузить в фоне")); });
  EXPECT_NE(code, 0u);
  EXPECT_EQ(NewJobs(), 1);
  EXPECT_TRUE(QueueOn());
  Sleep(300);
  EXPECT_EQ(main_.ShowDownloadsSeen(), 0);
}

TEST_F(ChooserDialogs, SingleAddOnlyLeavesTheQueueOff) {
  uint32_t code = WithDialog(L"TSVDNMQueryForm", [] { return AskSingle("c"); },
                             [](HWND d) { uikit::Press(d, sv::Ru(u8"Добавить в загрузки")); });
  EXPECT_NE(code, 0u);
  EXPECT_EQ(NewJobs(), 1);
  EXPECT_FALSE(QueueOn());
  Sleep(300);
  EXPECT_EQ(main_.ShowDownloadsSeen(), 0);
}

TEST_F(ChooserDialogs, SingleCancelEscapeAndCloseBoxCreateNothing) {
  auto cancel = [](HWND d) { uikit::Press(d, sv::Ru(u8"Отмена")); };
  auto escape = [](HWND d) { uikit::PressKey(d, VK_ESCAPE); };
  auto closeBox = [](HWND d) { PostMessageW(d, WM_SYSCOMMAND, SC_CLOSE, 0); };
  EXPECT_EQ(WithDialog(L"TSVDNMQueryForm", [] { return AskSingle("d"); }, cancel), 0u);
  EXPECT_EQ(WithDialog(L"TSVDNMQueryForm", [] { return AskSingle("d"); }, escape), 0u);
  EXPECT_EQ(WithDialog(L"TSVDNMQueryForm", [] { return AskSingle("d"); }, closeBox), 0u);
  EXPECT_EQ(NewJobs(), 0);
  EXPECT_FALSE(QueueOn());
  EXPECT_EQ(main_.ShowDownloadsSeen(), 0);
}

TEST_F(ChooserDialogs, SingleEnterActsAsLoad) {
  uint32_t code = WithDialog(L"TSVDNMQueryForm", [] { return AskSingle("e"); },
                             [](HWND d) { uikit::PressKey(d, VK_RETURN); });
  EXPECT_NE(code, 0u);
  EXPECT_EQ(NewJobs(), 1);
  EXPECT_TRUE(QueueOn());
}

// Three components as a dynamic array of records.
struct MultiJobs {
  Download d1{"1.bin"}, d2{"2.bin"}, d3{"3.bin"};
  SvStr titles[3] = {sv::NewStr("first"), sv::NewStr("second"), sv::NewStr("third")};
  SvStr key = sv::NewStr("chooser-multi");
  TSVDNFMultiJob* records = nullptr;
  MultiJobs() {
    records = static_cast<TSVDNFMultiJob*>(sv::NewBlock(3, sizeof(TSVDNFMultiJob), 0));
    const Download* ds[3] = {&d1, &d2, &d3};
    for (int i = 0; i < 3; ++i) {
      records[i] = TSVDNFMultiJob{};
      records[i].Download = ds[i]->p;  // After stays Size 0: none
      records[i].Title = titles[i];
      records[i].IParam = key;
    }
  }
  ~MultiJobs() {
    sv::Release(records);
    for (SvStr t : titles) sv::Release(t);
    sv::Release(key);
  }
};

HWND CheckList(HWND dialog) { return FindWindowExW(dialog, nullptr, L"SysListView32", nullptr); }

void Untick(HWND list, int row) {
  LVITEMW item = {};
  item.stateMask = LVIS_STATEIMAGEMASK;
  item.state = INDEXTOSTATEIMAGEMASK(1);
  SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

TEST_F(ChooserDialogs, MultiListsEveryTitleTickedAndCreatesTheTickedOnes) {
  MultiJobs jobs;
  std::vector<std::vector<std::string>> rows;
  uint32_t code = WithDialog(L"TSVDNMMultiQueryForm", [&] { return SVDNFCreateMultiJob(jobs.records); },
                             [&](HWND d) {
                               HWND list = CheckList(d);
                               rows = uikit::ListViewRows(list);
                               for (int i = 0; i < 3; ++i)
                                 EXPECT_EQ(SendMessageW(list, LVM_GETITEMSTATE, i, LVIS_STATEIMAGEMASK), INDEXTOSTATEIMAGEMASK(2)) << i;
                               Untick(list, 1);
                               uikit::Press(d, sv::Ru(u8"Добавить в загрузки"));
                             });
  EXPECT_EQ(rows, (std::vector<std::vector<std::string>>{{"first"}, {"second"}, {"third"}}));
  EXPECT_NE(code, 0u);
  EXPECT_EQ(NewJobs(), 2);
  EXPECT_FALSE(QueueOn());
  std::string last = sv::TakeOut([&](SvStr* out) { SVDNMGetJobNameByBaseCode(out, code); });
  EXPECT_EQ(last, "third");
}

TEST_F(ChooserDialogs, MultiAnswersAct) {
  {
    MultiJobs jobs;
    EXPECT_NE(WithDialog(L"TSVDNMMultiQueryForm", [&] { return SVDNFCreateMultiJob(jobs.records); },
                         [](HWND d) { uikit::Press(d, sv::Ru(u8"Загрузить в фоне")); }),
              0u);
    EXPECT_EQ(NewJobs(), 3);
    EXPECT_TRUE(QueueOn());
    Sleep(300);
    EXPECT_EQ(main_.ShowDownloadsSeen(), 0);
  }
  SVDNMSetParams(SVDNM_SET_ENABLED, kQueueOff);
  {
    MultiJobs jobs;
    EXPECT_EQ(WithDialog(L"TSVDNMMultiQueryForm", [&] { return SVDNFCreateMultiJob(jobs.records); },
                         [](HWND d) { uikit::PressKey(d, VK_ESCAPE); }),
              0u);
    EXPECT_EQ(WithDialog(L"TSVDNMMultiQueryForm", [&] { return SVDNFCreateMultiJob(jobs.records); },
                         [](HWND d) { PostMessageW(d, WM_SYSCOMMAND, SC_CLOSE, 0); }),
              0u);
    EXPECT_EQ(WithDialog(L"TSVDNMMultiQueryForm", [&] { return SVDNFCreateMultiJob(jobs.records); },
                         [](HWND d) { uikit::Press(d, sv::Ru(u8"Отмена")); }),
              0u);
    EXPECT_EQ(NewJobs(), 3);
    EXPECT_FALSE(QueueOn());
  }
  {
    MultiJobs jobs;
    EXPECT_NE(WithDialog(L"TSVDNMMultiQueryForm", [&] { return SVDNFCreateMultiJob(jobs.records); },
                         [](HWND d) { uikit::PressKey(d, VK_RETURN); }),
              0u);
    EXPECT_EQ(NewJobs(), 6);
    EXPECT_TRUE(QueueOn());
    Sleep(300);
    EXPECT_EQ(main_.ShowDownloadsSeen(), 1);
  }
}

TEST_F(ChooserDialogs, MultiWithEveryLineUntickedStillStartsAndShows) {
  // With no job at all the manager's next tick switches the queue off again;
  // without its thread the answer's own effect stays to be seen.
  SolvikaDNMStop();
  jobsBefore_ = JobCount();
  MultiJobs jobs;
  uint32_t code = WithDialog(L"TSVDNMMultiQueryForm", [&] { return SVDNFCreateMultiJob(jobs.records); },
                             [](HWND d) {
                               for (int i = 0; i < 3; ++i) Untick(CheckList(d), i);
                               uikit::Press(d, sv::Ru(u8"Загрузить"));
                             });
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(NewJobs(), 0);
  EXPECT_TRUE(QueueOn());
  Sleep(300);
  EXPECT_EQ(main_.ShowDownloadsSeen(), 1);
  SolvikaDNMStart();
}

TEST_F(ChooserDialogs, EmptyOrMissingArrayAsksNothing) {
  void* empty = sv::NewBlock(0, sizeof(TSVDNFMultiJob), 0);
  EXPECT_EQ(SVDNFCreateMultiJob(static_cast<TSVDNFMultiJob*>(empty)), 0u);
  sv::Release(empty);
  EXPECT_EQ(SVDNFCreateMultiJob(nullptr), 0u);
  EXPECT_EQ(uikit::FindTopWindow(L"TSVDNMMultiQueryForm", nullptr, GetCurrentProcessId()), nullptr);
  EXPECT_EQ(NewJobs(), 0);
}

TEST(ChooserLibrary, VersionAndExports) {
  HMODULE dll = GetModuleHandleW(L"SolvikaDNF.dll");
  ASSERT_NE(dll, nullptr);
  EXPECT_EQ(GetModuleVersion(), 11);
  EXPECT_NE(GetProcAddress(dll, "SVDNFCreateJob"), nullptr);
  EXPECT_NE(GetProcAddress(dll, "SVDNFCreateMultiJob"), nullptr);
}

}  // namespace
