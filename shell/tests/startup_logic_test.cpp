// The plain decisions of the start-up and the main window: the caption, the
// layout, the log lines and the stack trace lines.
#include <gtest/gtest.h>

#include <windows.h>

#include "locale_fixup.h"
#include "main_form.h"
#include "stack_trace.h"
#include "wide.h"

namespace {

TEST(MainFormCaption, ClientNumberJoinsUnlessMissing) {
  std::string plain = sv::Ru(u8"Программа Solvika");
  EXPECT_EQ(plain, shell::MainFormCaption(""));
  EXPECT_EQ(plain, shell::MainFormCaption("none"));
  EXPECT_EQ(plain + sv::Ru(u8" №") + "0042", shell::MainFormCaption("0042"));
  EXPECT_EQ(plain + sv::Ru(u8" №") + "None", shell::MainFormCaption("None"));  // only "none" means none
}

TEST(MainFormLayout, BottomPanelUnderTheWorkAreaAndTabBarLeftOfTheSearch) {
  shell::MainFormLayout l = shell::LayOutMainForm(800, 600);
  EXPECT_EQ((RECT{0, 0, 800, 573}).bottom, l.mdiClient.bottom);
  EXPECT_EQ(573, l.bottomPanel.top);
  EXPECT_EQ(600, l.bottomPanel.bottom);
  EXPECT_EQ(800 - 224, l.tabBar.right);
  EXPECT_EQ(27, l.tabBar.bottom);
  // A window shrunk to nothing (minimised) gives empty parts, never negative ones.
  shell::MainFormLayout tiny = shell::LayOutMainForm(0, 0);
  EXPECT_EQ(0, tiny.mdiClient.bottom);
  EXPECT_EQ(0, tiny.tabBar.right);
}

TEST(LocaleFixup, LogLines) {
  EXPECT_EQ("SVMain > Charset Params > 1033 1252 1251", shell::CharsetParamsLine(1033, 1252, 1251));
  EXPECT_STREQ("True", shell::LogBool(true));
  EXPECT_STREQ("False", shell::LogBool(false));
}

TEST(StackTrace, FrameLinesNameTheModuleAndOffset) {
  EXPECT_EQ("SolvikaMain.dll+0x1a2b", shell::FormatStackFrame("C:\\Program\\SolvikaMain.dll", 0x1a2b));
  EXPECT_EQ("x.exe+0x0", shell::FormatStackFrame("x.exe", 0));
}

constexpr DWORD kTestError = 0xE0000001;

// Behind the tracing handler: lets the test's own error continue.
LONG CALLBACK ContinueTestError(EXCEPTION_POINTERS* info) {
  return info->ExceptionRecord->ExceptionCode == kTestError ? EXCEPTION_CONTINUE_EXECUTION
                                                            : EXCEPTION_CONTINUE_SEARCH;
}

TEST(StackTrace, RecordsTheStackOfARaisedError) {
  shell::EnableStackTracing();
  void* resume = AddVectoredExceptionHandler(0, ContinueTestError);
  RaiseException(kTestError, 0, 0, nullptr);
  RemoveVectoredExceptionHandler(resume);
  shell::DisableStackTracing();
  std::vector<std::string> stack = shell::LastExceptionStack();
  ASSERT_FALSE(stack.empty());
  EXPECT_NE(std::string::npos, stack[0].find("+0x")) << stack[0];
}

}  // namespace
