// The popup notice's grouping, queue and fade, without a window.
#include <gtest/gtest.h>

#include "popup_queue.h"

namespace {

using shell::PopupQueue;

// Runs the fade timer until the window hides; returns the steps taken.
int RunUntilHidden(PopupQueue& q, int* hold_steps = nullptr) {
  for (int steps = 1; steps < 1000; ++steps) {
    PopupQueue::Action a = q.Tick();
    if (hold_steps && a.timerMs == shell::kPopupHoldMs) ++*hold_steps;
    if (a.hide) return steps;
  }
  return -1;
}

TEST(PopupQueue, FadesInOverTwentyFourStepsHoldsThreeSecondsAndFadesOut) {
  PopupQueue q;
  PopupQueue::Action first = q.Add("one", "A", "*Lexikon");
  EXPECT_TRUE(first.show);
  EXPECT_EQ(shell::kPopupFadeMs, first.timerMs);
  EXPECT_EQ(0, q.Alpha());
  int in = 0, holds = 0;
  while (q.Alpha() < shell::kPopupAlphaMax) {
    if (q.Tick().timerMs == shell::kPopupHoldMs) ++holds;
    ++in;
  }
  EXPECT_EQ(24, in);
  EXPECT_EQ(1, holds) << "the step reaching 240 switches to the 3 s hold";
  int rest = RunUntilHidden(q, &holds);
  EXPECT_EQ(1, holds) << "held once";
  EXPECT_EQ(24 + 1, rest) << "24 fade-out steps, then the hide at level 0";
  EXPECT_FALSE(q.Showing());
  EXPECT_EQ("", q.Text());
}

TEST(PopupQueue, TitlesABAShowAThenBAlone) {
  PopupQueue q;
  q.Add("a1", "A", "*first");
  PopupQueue::Action waiting = q.Add("b1", "B", "*b");
  EXPECT_FALSE(waiting.show) << "another title waits";
  EXPECT_EQ(1, q.QueuedCount());
  q.Add("a2", "A", "*second");
  EXPECT_EQ("a2\ra1", q.Text()) << "newest on top";
  EXPECT_EQ("*first", q.PluginKey()) << "the group's first key stays";

  for (int i = 0; i < 1000 && q.Title() == "A"; ++i) q.Tick();
  EXPECT_TRUE(q.Showing());
  EXPECT_EQ("B", q.Title());
  EXPECT_EQ("b1", q.Text());
  EXPECT_EQ("*b", q.PluginKey());
  EXPECT_EQ(0, q.QueuedCount());
  EXPECT_EQ(0, q.Alpha()) << "the next group fades in from nothing";
}

TEST(PopupQueue, WaitingNoticesOfOneTitleShowTogether) {
  PopupQueue q;
  q.Add("a", "A", "");
  q.Add("b1", "B", "");
  q.Add("c", "C", "");
  q.Add("b2", "B", "");
  PopupQueue::Action next = q.Hide();
  EXPECT_TRUE(next.hide && next.show);
  EXPECT_EQ("B", q.Title());
  EXPECT_EQ("b2\rb1", q.Text());
  EXPECT_EQ(1, q.QueuedCount());
  q.Hide();
  EXPECT_EQ("C", q.Title());
  EXPECT_EQ(0, q.QueuedCount());
  PopupQueue::Action last = q.Hide();
  EXPECT_TRUE(last.hide);
  EXPECT_FALSE(last.show);
  EXPECT_FALSE(q.Showing());
}

TEST(PopupQueue, ANoticeDuringFadeOutJoinsAndFadesInAgain) {
  PopupQueue q;
  q.Add("a1", "A", "");
  while (q.Tick().timerMs != shell::kPopupHoldMs) {
  }
  q.Tick();  // the first fade-out step
  int level = q.Alpha();
  PopupQueue::Action joined = q.Add("a2", "A", "");
  EXPECT_EQ(shell::kPopupFadeMs, joined.timerMs);
  q.Tick();
  EXPECT_EQ(level + shell::kPopupAlphaStep, q.Alpha()) << "fading in again from where it was";
}

}  // namespace
