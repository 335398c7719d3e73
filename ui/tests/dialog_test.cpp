// Dialogs made from a template: where the focus lands when they open, and
// their controls following a client area set in pixels.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <vector>

#include "app.h"
#include "dialog.h"
#include "dialog_test_ids.h"

namespace {

constexpr UINT_PTR kLookTimer = 1;
constexpr int kControls[] = {IDC_UI_TEST_FIRST, IDC_UI_TEST_SECOND, IDC_UI_TEST_BUTTON};

// Opens the test template, runs `init` on it, and once the dialog is on
// screen runs `look` and closes it.
class TestDialog : public ui::Dialog {
 public:
  std::function<void(HWND)> init, look;
  void Run() { RunModal(ui::ThisModule(), IDD_UI_TEST, nullptr); }

 private:
  void OnInitDialog() override {
    if (init) init(Handle());
    SetTimer(Handle(), kLookTimer, 10, nullptr);
  }
  bool OnMessage(UINT message, WPARAM wparam, LPARAM, INT_PTR* result) override {
    if (message != WM_TIMER || wparam != kLookTimer) return false;
    KillTimer(Handle(), kLookTimer);
    if (look) look(Handle());
    End(IDOK);
    *result = 0;
    return true;
  }
};

int FocusedId() { return GetDlgCtrlID(GetFocus()); }

TEST(UiDialog, TheFocusGoesWhereTheDialogPutItOrElseToTheFirstControl) {
  int focused = 0;
  TestDialog placed;
  placed.init = [](HWND w) { SetFocus(GetDlgItem(w, IDC_UI_TEST_SECOND)); };
  placed.look = [&](HWND) { focused = FocusedId(); };
  placed.Run();
  EXPECT_EQ(IDC_UI_TEST_SECOND, focused);

  TestDialog left;
  left.look = [&](HWND) { focused = FocusedId(); };
  left.Run();
  EXPECT_EQ(IDC_UI_TEST_FIRST, focused);
}

TEST(UiDialog, ControlsKeepTheirPlaceInProportionWhenTheClientIsSetInPixels) {
  for (SIZE target : {SIZE{500, 320}, SIZE{200, 120}}) {
    std::vector<RECT> before, after;
    RECT clientBefore = {}, clientAfter = {};
    TestDialog dialog;
    dialog.init = [&](HWND w) {
      GetClientRect(w, &clientBefore);
      for (int id : kControls) before.push_back(ui::RectInParent(GetDlgItem(w, id)));
      ui::SetClientSizeWithControls(w, target.cx, target.cy);
      GetClientRect(w, &clientAfter);
      for (int id : kControls) after.push_back(ui::RectInParent(GetDlgItem(w, id)));
    };
    dialog.Run();
    ASSERT_EQ(target.cx, clientAfter.right);
    ASSERT_EQ(target.cy, clientAfter.bottom);
    ASSERT_EQ(before.size(), after.size());
    for (size_t i = 0; i < before.size(); ++i) {
      // The margin on the right grows or shrinks with the width, to the pixel.
      const double rightBefore = double(clientBefore.right - before[i].right) / clientBefore.right;
      const double rightAfter = double(target.cx - after[i].right) / target.cx;
      EXPECT_NEAR(rightBefore, rightAfter, 1.0 / target.cx) << "control " << i;
      const double bottomBefore = double(clientBefore.bottom - before[i].bottom) / clientBefore.bottom;
      const double bottomAfter = double(target.cy - after[i].bottom) / target.cy;
      EXPECT_NEAR(bottomBefore, bottomAfter, 1.0 / target.cy) << "control " << i;
      EXPECT_GT(after[i].right, after[i].left);
      EXPECT_LE(after[i].right, target.cx);
    }
    // The two edit fields keep their common left edge.
    EXPECT_EQ(after[0].left, after[1].left);
  }
}

}  // namespace
