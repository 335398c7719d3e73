// The user-interface layer as its windows use it: Russian text in and out of
// controls, the virtual list, plugin windows on the main window's MDI client,
// and the application object handing a restore on to its handler.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "app.h"
#include "main_window.h"
#include "text.h"
#include "ui_kit.h"
#include "virtual_list.h"
#include "wide.h"
#include "window.h"

namespace {


using uikit::PumpUntil;

// A top-level window to put controls on; its notifications reach `onNotify`.
class Host : public ui::Window {
 public:
  std::function<bool(const NMHDR*)> onNotify;
  HWND Make() {
    ui::RegisterWindowClass(ui::ThisModule(), L"SvUiTestHost");
    return Create(0, L"SvUiTestHost", L"host", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, ui::ThisModule());
  }

 private:
  bool OnMessage(UINT message, WPARAM, LPARAM lparam, LRESULT* result) override {
    if (message == WM_NOTIFY && onNotify && onNotify(reinterpret_cast<NMHDR*>(lparam))) {
      *result = 0;
      return true;
    }
    return false;
  }
};

HWND MakeControl(HWND parent, const wchar_t* cls, DWORD style) {
  return CreateWindowExW(0, cls, L"", WS_CHILD | WS_VISIBLE | style, 0, 0, 300, 200, parent, nullptr,
                         ui::ThisModule(), nullptr);
}

TEST(UiText, RussianTextRoundTripsThroughEveryKindOfControl) {
  Host host;
  HWND parent = host.Make();
  ASSERT_NE(nullptr, parent);
  std::string russian = sv::Ru(u8"Программа «Солвика» №1");

  HWND edit = MakeControl(parent, L"EDIT", 0);
  ui::SetText(edit, russian);
  EXPECT_EQ(russian, ui::GetText(edit));

  HWND combo = MakeControl(parent, L"COMBOBOX", CBS_DROPDOWNLIST);
  EXPECT_EQ(0, ui::AddComboItem(combo, russian));
  EXPECT_EQ(russian, ui::GetComboItem(combo, 0));
  EXPECT_EQ("", ui::GetComboItem(combo, 5));  // no such item

  HWND list = MakeControl(parent, WC_LISTVIEWW, LVS_REPORT);
  LVCOLUMNW column = {};
  column.mask = LVCF_WIDTH;
  column.cx = 100;
  SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
  SendMessageW(list, LVM_INSERTCOLUMNW, 1, reinterpret_cast<LPARAM>(&column));
  EXPECT_EQ(0, ui::InsertListViewRow(list, 0, russian));
  ui::SetListViewCell(list, 0, 1, sv::Ru(u8"Загружено"));
  EXPECT_EQ(russian, ui::GetListViewCell(list, 0, 0));
  auto rows = uikit::ListViewRows(list, 2);
  ASSERT_EQ(1u, rows.size());
  EXPECT_EQ(russian, rows[0][0]);
  EXPECT_EQ(sv::Ru(u8"Загружено"), rows[0][1]);
}

TEST(UiVirtualList, RowsComeFromTheSourceOnDemand) {
  Host host;
  HWND parent = host.Make();
  HWND list = MakeControl(parent, WC_LISTVIEWW, LVS_REPORT | LVS_OWNERDATA);
  LVCOLUMNW column = {};
  column.mask = LVCF_WIDTH;
  column.cx = 200;
  SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
  ui::VirtualList rows(list);
  int asked = 0;
  rows.SetSource([&](int row, int) {
    ++asked;
    return sv::Ru(u8"Строка ") + std::to_string(row);
  });
  host.onNotify = [&](const NMHDR* h) { return rows.OnNotify(h); };
  rows.SetRowCount(1000);
  EXPECT_EQ(1000, (int)SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  EXPECT_EQ(sv::Ru(u8"Строка 777"), ui::GetListViewCell(list, 777, 0));
  EXPECT_GE(asked, 1);
  EXPECT_LT(asked, 1000);  // only what was asked for, not every row
}

// A stand-in main window: the frame class the plugins look for.
class Frame : public ui::Window {
 public:
  HWND client = nullptr;
  HWND Make() {
    ui::RegisterWindowClass(ui::ThisModule(), ui::kMainWindowClass);
    HWND w = Create(0, ui::kMainWindowClass, L"frame", WS_OVERLAPPEDWINDOW, 0, 0, 600, 400, nullptr,
                    ui::ThisModule());
    CLIENTCREATESTRUCT ccs = {};
    ccs.idFirstChild = 0xFF00;
    client = CreateWindowExW(0, L"MDICLIENT", nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 600, 400, w, nullptr,
                             ui::ThisModule(), &ccs);
    return w;
  }

 private:
  bool OnMessage(UINT, WPARAM, LPARAM, LRESULT*) override { return false; }
  LRESULT DefaultProcedure(UINT m, WPARAM w, LPARAM l) override { return DefFrameProcW(Handle(), client, m, w, l); }
};

LRESULT CALLBACK ChildProcedure(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefMDIChildProcW(w, m, wp, lp); }

TEST(UiMdi, PluginWindowsOpenOnTheMainWindowsClient) {
  EXPECT_EQ(nullptr, ui::MainWindow());
  Frame frame;
  HWND main = frame.Make();
  ASSERT_NE(nullptr, main);
  EXPECT_EQ(main, ui::MainWindow());
  EXPECT_EQ(frame.client, ui::MainMdiClient());

  WNDCLASSW wc = {};
  wc.lpfnWndProc = ChildProcedure;
  wc.hInstance = ui::ThisModule();
  wc.lpszClassName = L"SvUiTestPlugin";
  RegisterClassW(&wc);
  HWND first = ui::CreateMdiChild(ui::MainMdiClient(), L"SvUiTestPlugin", sv::Ru(u8"Словарь"), ui::ThisModule());
  HWND second = ui::CreateMdiChild(ui::MainMdiClient(), L"SvUiTestPlugin", "Browser", ui::ThisModule());
  ASSERT_NE(nullptr, first);
  ASSERT_NE(nullptr, second);
  EXPECT_EQ(frame.client, GetParent(first));
  EXPECT_EQ(sv::Ru(u8"Словарь"), ui::GetText(first));
  EXPECT_EQ(second, ui::ActiveMdiChild(frame.client));
  EXPECT_EQ(nullptr, ui::CreateMdiChild(nullptr, L"SvUiTestPlugin", "x", ui::ThisModule()));
}

// An MDI child window object that owns itself, as a plugin window does.
class SelfOwnedChild : public ui::Window {
 public:
  explicit SelfOwnedChild(bool* deleted) : deleted_(deleted) {}
  HWND Open(HWND client) {
    ui::RegisterWindowClass(ui::ThisModule(), L"SvUiTestOwnChild");
    return CreateMdiChild(client, L"SvUiTestOwnChild", "own", ui::ThisModule());
  }
  bool sawCreate = false;

 private:
  ~SelfOwnedChild() override { *deleted_ = true; }
  bool OnMessage(UINT m, WPARAM, LPARAM, LRESULT*) override {
    if (m == WM_CREATE) sawCreate = true;
    return false;
  }
  LRESULT DefaultProcedure(UINT m, WPARAM w, LPARAM l) override { return DefMDIChildProcW(Handle(), m, w, l); }
  void OnFinalMessage() override { delete this; }
  bool* deleted_;
};

TEST(UiMdi, AWindowObjectBecomesAnMdiChildAndMayDeleteItselfAtTheEnd) {
  Frame frame;
  ASSERT_NE(nullptr, frame.Make());
  bool deleted = false;
  auto* child = new SelfOwnedChild(&deleted);
  HWND window = child->Open(frame.client);
  ASSERT_NE(nullptr, window);
  EXPECT_TRUE(child->sawCreate);  // attached from its first messages on
  EXPECT_EQ(window, child->Handle());
  EXPECT_EQ(frame.client, GetParent(window));
  SendMessageW(frame.client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(window), 0);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_TRUE(deleted);
}

TEST(UiApplication, ARestoreFromOutsideHidesTheObjectAgainAndCallsTheHandler) {
  ui::ApplicationObject application;
  ASSERT_TRUE(application.Create("Solvika"));
  EXPECT_EQ(application.Handle(), ui::ApplicationWindow());
  EXPECT_EQ("Solvika", ui::ApplicationTitle());
  EXPECT_FALSE(IsWindowVisible(application.Handle()));
  int restored = 0;
  application.SetRestoreHandler([&] { ++restored; });
  // What another copy of the program does to a running one.
  ShowWindow(application.Handle(), SW_RESTORE);
  EXPECT_TRUE(PumpUntil([&] { return restored >= 1; }));
  EXPECT_FALSE(IsWindowVisible(application.Handle()));
}

TEST(UiKit, CaptureScreenWritesAPicture) {
  std::string path = "/tmp/sv_ui_capture_" + std::to_string(GetCurrentProcessId()) + ".png";
  ASSERT_TRUE(uikit::CaptureScreen(path));
  std::wstring windowsPath = L"Z:" + sv::Wide(path);
  for (auto& c : windowsPath)
    if (c == L'/') c = L'\\';
  WIN32_FILE_ATTRIBUTE_DATA data = {};
  ASSERT_TRUE(GetFileAttributesExW(windowsPath.c_str(), GetFileExInfoStandard, &data));
  EXPECT_GT(data.nFileSizeLow, 100u);
  DeleteFileW(windowsPath.c_str());
}

}  // namespace
