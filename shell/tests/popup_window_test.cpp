// The popup notice window itself: where it stands, what it shows, how it
// fades in, and what a click does with the groups waiting behind it.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "popup_form.h"
#include "ui_kit.h"

namespace {

using uikit::PumpUntil;

BYTE Alpha(HWND window) {
  BYTE alpha = 0;
  DWORD flags = 0;
  GetLayeredWindowAttributes(window, nullptr, &alpha, &flags);
  return alpha;
}

HWND TextBox(HWND popup) { return FindWindowExW(popup, nullptr, L"EDIT", nullptr); }

TEST(PopupWindow, PlacementAndTextLines) {
  RECT area = {100, 50, 1000, 700};
  POINT at = shell::PopupPosition(area);
  EXPECT_EQ(1000 - 284 - 5, at.x);
  EXPECT_EQ(700 - 186 - 5, at.y);
  EXPECT_EQ(L"new\r\nold", shell::PopupDisplayText("new\rold"));
}

TEST(PopupWindow, GroupsByTitleFadesInAndClickShowsTheNextGroup) {
  std::vector<std::string> clicked;
  shell::PopupForm popup([&](const std::string& key) { clicked.push_back(key); });
  ASSERT_TRUE(popup.Create());
  HWND window = popup.Handle();
  EXPECT_EQ(std::wstring(shell::kPopupFormClass), uikit::ClassOf(window));
  EXPECT_FALSE(IsWindowVisible(window));

  popup.Add("first A", "A", "");
  popup.Add("only B", "B", "*B");
  popup.Add("second A", "A", "*A");
  ASSERT_TRUE(IsWindowVisible(window));
  EXPECT_TRUE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_NE(nullptr, uikit::FindChild(window, "A"));
  EXPECT_EQ("second A\r\nfirst A", uikit::Text(TextBox(window)));
  RECT r;
  GetWindowRect(window, &r);
  EXPECT_EQ(284, r.right - r.left);
  EXPECT_EQ(186, r.bottom - r.top);

  // Fades in to 240 and holds there.
  EXPECT_TRUE(PumpUntil([&] { return Alpha(window) == 240; })) << int(Alpha(window));

  // A click ends group A (its first notice had no plugin) and shows B at once.
  PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, 0);
  ASSERT_TRUE(PumpUntil([&] { return clicked.size() == 1; }));
  EXPECT_EQ("", clicked[0]);
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_NE(nullptr, uikit::FindChild(window, "B"));
  EXPECT_EQ("only B", uikit::Text(TextBox(window)));

  // A click on the text box counts as a click on the window.
  PostMessageW(TextBox(window), WM_LBUTTONDOWN, MK_LBUTTON, 0);
  ASSERT_TRUE(PumpUntil([&] { return clicked.size() == 2; }));
  EXPECT_EQ("*B", clicked[1]);
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_FALSE(popup.Queue().Showing());
  EXPECT_EQ(0, popup.Queue().QueuedCount());
}

}  // namespace
