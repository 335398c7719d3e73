// The error box that plugins and libraries show through the shell.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <thread>

#include "sv_abi.h"
#include "ui_kit.h"
#include "wide.h"

extern "C" __declspec(dllimport) void SVAPI MsgBoxError(const char* text, const char* caption);

namespace {

std::string R(const char* utf8) { return sv::Ru(utf8); }

uikit::MessageBoxSeen ShowAndClose(const std::string& text, const char* caption) {
  uikit::MessageBoxSeen seen;
  std::thread user([&] {
    seen = uikit::WaitMessageBox(GetCurrentProcessId());
    if (seen.window) uikit::Answer(seen, IDOK);
  });
  MsgBoxError(text.c_str(), caption);
  user.join();
  return seen;
}

TEST(ErrorBox, EmptyCaptionMeansTheApplicationTitle) {
  uikit::MessageBoxSeen seen = ShowAndClose(R(u8"Пароль не правильный!"), "");
  ASSERT_NE(nullptr, seen.window);
  EXPECT_EQ("Solvika", seen.caption) << "no application window: the default title";
  EXPECT_EQ(R(u8"Пароль не правильный!"), seen.text);

  // With an application window in the process, its title is the caption.
  WNDCLASSW wc = {};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"TApplication";
  RegisterClassW(&wc);
  HWND app = CreateWindowExW(0, L"TApplication", L"Solvika Update", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                        wc.hInstance, nullptr);
  ASSERT_NE(nullptr, app);
  EXPECT_EQ("Solvika Update", ShowAndClose("x", nullptr).caption);
  EXPECT_EQ(R(u8"Своя"), ShowAndClose("x", R(u8"Своя").c_str()).caption);
  DestroyWindow(app);
}

}  // namespace
