// The skin engine on real windows: a frame with a panel, a static, a list
// view and a menu, styled, switched and turned off again.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "file_io.h"
#include "wide.h"
#include "skin_engine.h"
#include "win_handles.h"

namespace {

constexpr wchar_t kFrameClass[] = L"SkinTestFrame";
constexpr wchar_t kPanelClass[] = L"SkinTestPanel";

COLORREF Ref(skins::Colour c) { return RGB(c.r, c.g, c.b); }

COLORREF BrushColour(HBRUSH brush) {
  LOGBRUSH lb = {};
  if (!brush || GetObjectW(brush, sizeof lb, &lb) != sizeof lb) return CLR_INVALID;
  return lb.lbColor;
}

struct Answer {
  COLORREF brush, text;
};

// What `parent` answers when `control` asks for its colours.
Answer AskColours(HWND parent, HWND control, UINT message = WM_CTLCOLORSTATIC) {
  sv::WindowDC screen(nullptr);
  sv::MemoryDC dc(CreateCompatibleDC(screen.Get()));
  SetTextColor(dc.Get(), RGB(1, 2, 3));
  HBRUSH brush = (HBRUSH)SendMessageW(parent, message, (WPARAM)dc.Get(), (LPARAM)control);
  return {BrushColour(brush), GetTextColor(dc.Get())};
}

// The colour WM_ERASEBKGND leaves in the middle of `window`.
COLORREF ErasedColour(HWND window) {
  sv::WindowDC screen(nullptr);
  sv::MemoryDC dc(CreateCompatibleDC(screen.Get()));
  RECT rc = {};
  GetClientRect(window, &rc);
  sv::GdiObject<HBITMAP> bmp(CreateCompatibleBitmap(screen.Get(), rc.right, rc.bottom));
  sv::SelectedObject keep(dc.Get(), bmp.Get());
  RECT all = {0, 0, rc.right, rc.bottom};
  FillRect(dc.Get(), &all, (HBRUSH)GetStockObject(BLACK_BRUSH));
  SendMessageW(window, WM_ERASEBKGND, (WPARAM)dc.Get(), 0);
  return GetPixel(dc.Get(), rc.right / 2, rc.bottom / 2);
}

HBRUSH MenuBrush(HWND window) {
  MENUINFO info = {};
  info.cbSize = sizeof info;
  info.fMask = MIM_BACKGROUND;
  GetMenuInfo(GetMenu(window), &info);
  return info.hbrBack;
}

skins::Skin Sample() {
  return skins::ReadSkin(
             "[Skin]\r\nThemed=0\r\n[Colours]\r\nWindow=10,20,30\r\nWindowText=200,210,220\r\nPanel=40,50,60\r\n"
             "PanelText=250,240,230\r\nHeaderBar=1,2,200\r\nHeaderText=255,255,0\r\nListBackground=5,5,5\r\n"
             "ListText=250,250,250\r\nMenuBackground=70,80,90\r\n[Font]\r\nFace=Arial\r\nSize=14\r\nBold=1\r\n")
      .skin;
}

class SkinEngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    wc.lpszClassName = kFrameClass;
    RegisterClassW(&wc);
    wc.lpszClassName = kPanelClass;
    RegisterClassW(&wc);
    HMENU bar = CreateMenu();
    AppendMenuW(bar, MF_STRING, 1, L"Вид");
    frame_ = CreateWindowExW(0, kFrameClass, L"Frame", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, bar, nullptr,
                             nullptr);
    panel_ = CreateWindowExW(0, kPanelClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, 200, 100, frame_, nullptr, nullptr,
                             nullptr);
    label_ = CreateWindowExW(0, L"Static", L"Текст", WS_CHILD | WS_VISIBLE, 0, 0, 100, 20, frame_, nullptr,
                             nullptr, nullptr);
    header_ = CreateWindowExW(0, L"Static", L"Заголовок", WS_CHILD | WS_VISIBLE, 0, 0, 100, 20, panel_, nullptr,
                              nullptr, nullptr);
    list_ = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 120, 200, 100, frame_,
                            nullptr, nullptr, nullptr);
    skins::SetRole(header_, skins::Role::kHeaderBar);
    ASSERT_TRUE(frame_ && panel_ && label_ && list_);
  }
  void TearDown() override { DestroyWindow(frame_); }

  HWND frame_ = nullptr, panel_ = nullptr, label_ = nullptr, header_ = nullptr, list_ = nullptr;
};

TEST_F(SkinEngineTest, RestyleAnswersWithTheSkinAndOffGivesTheSystemLookBack) {
  const Answer before = AskColours(frame_, label_);
  const COLORREF listBefore = ListView_GetBkColor(list_);
  const HFONT fontBefore = (HFONT)SendMessageW(label_, WM_GETFONT, 0, 0);
  const COLORREF panelBefore = ErasedColour(panel_);

  skins::SkinEngine engine;
  engine.Use(Sample());
  engine.Restyle(frame_);
  EXPECT_EQ(before.brush, AskColours(frame_, label_).brush) << "nothing changes while the engine is off";

  engine.SetActive(true);
  EXPECT_TRUE(engine.Active());
  const skins::Skin s = Sample();
  Answer a = AskColours(frame_, label_);
  EXPECT_EQ(Ref(s.window), a.brush);
  EXPECT_EQ(Ref(s.windowText), a.text);
  a = AskColours(panel_, header_);
  EXPECT_EQ(Ref(s.headerBar), a.brush) << "a marked role wins over the area";
  EXPECT_EQ(Ref(s.headerText), a.text);
  EXPECT_EQ(Ref(s.panel), ErasedColour(panel_));
  EXPECT_EQ(Ref(s.listBackground), ListView_GetBkColor(list_));
  EXPECT_EQ(Ref(s.listText), ListView_GetTextColor(list_));
  EXPECT_EQ(Ref(s.menuBackground), BrushColour(MenuBrush(frame_)));
  HFONT skinFont = (HFONT)SendMessageW(label_, WM_GETFONT, 0, 0);
  LOGFONTW lf = {};
  ASSERT_TRUE(GetObjectW(skinFont, sizeof lf, &lf));
  EXPECT_STREQ(L"Arial", lf.lfFaceName);
  EXPECT_EQ(FW_BOLD, lf.lfWeight);

  engine.SetActive(false);
  EXPECT_EQ(before.brush, AskColours(frame_, label_).brush);
  EXPECT_EQ(before.text, AskColours(frame_, label_).text);
  EXPECT_EQ(panelBefore, ErasedColour(panel_));
  EXPECT_EQ(listBefore, ListView_GetBkColor(list_));
  EXPECT_EQ(fontBefore, (HFONT)SendMessageW(label_, WM_GETFONT, 0, 0));
  EXPECT_EQ(nullptr, MenuBrush(frame_));

  engine.SetActive(true);
  EXPECT_EQ(Ref(s.window), AskColours(frame_, label_).brush) << "turned on again, remembered windows follow";
}

TEST_F(SkinEngineTest, SwitchingRestylesOpenWindowsAndNewChildrenOnRestyle) {
  skins::SkinEngine engine;
  engine.SetActive(true);
  engine.Restyle(frame_);
  EXPECT_EQ(Ref(skins::DefaultSkin().window), AskColours(frame_, label_).brush);

  engine.Use(Sample());
  EXPECT_EQ(Ref(Sample().window), AskColours(frame_, label_).brush) << "without another Restyle";
  EXPECT_EQ(Ref(Sample().menuBackground), BrushColour(MenuBrush(frame_)));

  HWND late = CreateWindowExW(0, kPanelClass, L"", WS_CHILD, 0, 0, 10, 10, frame_, nullptr, nullptr, nullptr);
  engine.Restyle(frame_);
  EXPECT_EQ(Ref(Sample().panel), ErasedColour(late));
}

TEST_F(SkinEngineTest, SuspendedMenuIsLeftAloneUntilResumed) {
  skins::SkinEngine engine;
  engine.SetActive(true);
  engine.SuspendMenu();
  engine.Restyle(frame_);
  EXPECT_EQ(nullptr, MenuBrush(frame_));
  // The menu is rebuilt meanwhile.
  HMENU old = GetMenu(frame_);
  HMENU rebuilt = CreateMenu();
  AppendMenuW(rebuilt, MF_STRING, 2, L"Скины");
  SetMenu(frame_, rebuilt);
  DestroyMenu(old);
  engine.Use(Sample());
  EXPECT_EQ(nullptr, MenuBrush(frame_));
  engine.ResumeMenu();
  EXPECT_EQ(Ref(Sample().menuBackground), BrushColour(MenuBrush(frame_)));
}

TEST_F(SkinEngineTest, WindowsMayGoBeforeTheEngineAndTheEngineBeforeWindows) {
  {
    skins::SkinEngine engine;
    engine.Use(Sample());
    engine.SetActive(true);
    engine.Restyle(frame_);
    DestroyWindow(label_);
    label_ = nullptr;
    engine.Use(skins::DefaultSkin());  // must not touch the destroyed static
    engine.Restyle(frame_);
  }
  // The engine is gone: the frame answers as it did before, not through a
  // dangling subclass.
  EXPECT_EQ(nullptr, MenuBrush(frame_));
  HBRUSH brush = (HBRUSH)SendMessageW(frame_, WM_CTLCOLORSTATIC, 0, (LPARAM)list_);
  EXPECT_NE(Ref(Sample().window), BrushColour(brush));
}

TEST_F(SkinEngineTest, LoadRefusesWhatIsNoSkinFile) {
  skins::SkinEngine engine;
  engine.Use(Sample());
  const std::string folder = sv::ProgramFolder();
  EXPECT_FALSE(engine.Load(folder + "no such skin.skn"));
  std::string big(skins::kMaxSkinFileBytes + 1, ';');
  ASSERT_TRUE(sv::WriteFileReplacing(folder + "big.skn", big));
  EXPECT_FALSE(engine.Load(folder + "big.skn"));
  EXPECT_EQ(Sample().window, engine.Current().window) << "a refused file keeps the current skin";
  EXPECT_TRUE(engine.Load(folder + "SVData\\SVSkins\\LE4-DEFAULT.skn"));
  EXPECT_EQ("LE4-DEFAULT", engine.Current().name);
  DeleteFileW(sv::Wide(folder + "big.skn").c_str());
}

}  // namespace
