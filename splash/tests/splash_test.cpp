// The splash window as the shell uses it: shown at start, closed when ready.
#include <gtest/gtest.h>
#include <windows.h>

#include "sv_abi.h"
#include "ui_kit.h"

extern "C" {
__declspec(dllimport) int32_t SVAPI GetModuleVersion();
__declspec(dllimport) void SVAPI ShowLogoForm(HWND application);
__declspec(dllimport) void SVAPI CloseLogoForm();
}

namespace {

HWND Logo() { return uikit::FindTopWindow(L"TLogoForm", nullptr, GetCurrentProcessId()); }

TEST(Splash, CloseWithoutShowDoesNothing) {
  EXPECT_EQ(2, GetModuleVersion());
  CloseLogoForm();
  CloseLogoForm();
  EXPECT_EQ(nullptr, Logo());
}

TEST(Splash, CentredTopmostTranslucentPicture) {
  HWND app = CreateWindowExW(0, L"Static", L"Solvika", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  ShowLogoForm(app);
  HWND logo = Logo();
  ASSERT_NE(nullptr, logo);
  EXPECT_TRUE(IsWindowVisible(logo)) << "shown before the caller's message loop runs";
  SIZE client = uikit::ClientSize(logo);
  EXPECT_EQ(500, client.cx);
  EXPECT_EQ(300, client.cy);
  EXPECT_EQ(app, GetWindow(logo, GW_OWNER));
  LONG ex = GetWindowLongW(logo, GWL_EXSTYLE);
  EXPECT_TRUE(ex & WS_EX_TOPMOST) << "stays above the main window being built";
  EXPECT_FALSE(GetWindowLongW(logo, GWL_STYLE) & (WS_CAPTION | WS_BORDER | WS_THICKFRAME));
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(logo, nullptr, &alpha, &flags));
  EXPECT_EQ(230, alpha);

  RECT area = {}, frame = {};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  GetWindowRect(logo, &frame);
  EXPECT_NEAR((area.left + area.right) / 2, (frame.left + frame.right) / 2, 1);
  EXPECT_NEAR((area.top + area.bottom) / 2, (frame.top + frame.bottom) / 2, 1);

  // The picture is on screen, not a blank window: its corner pixel is the
  // frame's light colour and its middle differs from it.
  HDC dc = GetDC(logo);
  COLORREF corner = GetPixel(dc, 0, 0), middle = GetPixel(dc, 250, 260);
  ReleaseDC(logo, dc);
  EXPECT_NE(corner, middle);

  CloseLogoForm();
  EXPECT_FALSE(IsWindow(logo));
  CloseLogoForm();
  DestroyWindow(app);
}

TEST(Splash, ShowingAgainReplacesTheWindow) {
  ShowLogoForm(nullptr);
  HWND first = Logo();
  ShowLogoForm(nullptr);
  HWND second = Logo();
  EXPECT_FALSE(IsWindow(first)) << "the forgotten splash would stay on top for good";
  EXPECT_TRUE(IsWindow(second));
  CloseLogoForm();
  EXPECT_EQ(nullptr, Logo());
}

}  // namespace
