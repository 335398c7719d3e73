// The password prompt as a person answers it: typed text with OK or Enter,
// Escape, Отмена and the title bar's close.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <thread>

#include "password_address.h"
#include "sv_abi.h"
#include "svstring.h"
#include "test_support.h"
#include "ui_kit.h"
#include "wide.h"

extern "C" __declspec(dllimport) void SVAPI InputPassword(SvStr* password, const char* prompt);

namespace {

std::string R(const char* utf8) { return sv::Ru(utf8); }

const std::string kCancelled(1, '\0');

// Runs InputPassword on this thread while `answer` plays the user on another,
// with the password window it found.
std::string AskAndAnswer(const std::string& prompt, std::function<void(HWND)> answer) {
  std::thread user([&] {
    HWND form = uikit::WaitTopWindow(L"TPasswordForm", nullptr, GetCurrentProcessId());
    if (form) answer(form);
    // A window the answer failed to close would hold the test forever.
    if (form && !uikit::WaitGone(form, 5000)) PostMessageW(form, WM_CLOSE, 0, 0);
  });
  SvStr typed = nullptr;
  InputPassword(&typed, prompt.c_str());
  user.join();
  return sv::Take(typed);
}

HWND Edit(HWND form) { return uikit::FindChild(form, nullptr, L"Edit"); }

TEST(PasswordPrompt, ShowsItsCaptionPromptAndSize) {
  std::string caption, label;
  SIZE client = {};
  AskAndAnswer(R(u8"Введите пароль для доступа"), [&](HWND form) {
    caption = uikit::Text(form);
    label = uikit::FindChild(form, R(u8"Введите пароль для доступа"), L"Static") ? "found" : "missing";
    client = uikit::ClientSize(form);
    uikit::Press(form, R(u8"Отмена"));
  });
  EXPECT_EQ(R(u8"Ввод пароля"), caption);
  EXPECT_EQ("found", label);
  EXPECT_EQ(318, client.cx);
  EXPECT_EQ(115, client.cy);
}

TEST(PasswordPrompt, AnswersGiveTypedTextEmptyTextOrTheCancelMark) {
  EXPECT_EQ("", AskAndAnswer("p", [](HWND form) { uikit::Press(form, "OK"); })) << "OK on an empty field";
  EXPECT_EQ(R(u8"секрет"), AskAndAnswer("p", [](HWND form) {
              uikit::SetText(Edit(form), R(u8"секрет"));
              uikit::PressKey(Edit(form), VK_RETURN);
            })) << "Enter";
  EXPECT_EQ(kCancelled, AskAndAnswer("p", [](HWND form) {
              uikit::SetText(Edit(form), "typed");
              uikit::PressKey(Edit(form), VK_ESCAPE);
            })) << "Escape leaves the cancel mark even after typing";
  EXPECT_EQ(kCancelled, AskAndAnswer("p", [](HWND form) {
              uikit::SetText(Edit(form), "typed");
              uikit::Press(form, R(u8"Отмена"));
            }));
  EXPECT_EQ(kCancelled, AskAndAnswer("p", [](HWND form) { PostMessageW(form, WM_CLOSE, 0, 0); }))
      << "the title bar's close";
}

TEST(PasswordPrompt, EachPromptStartsWithAnEmptyMaskedField) {
  AskAndAnswer("p", [](HWND form) {
    uikit::SetText(Edit(form), "first");
    uikit::Press(form, "OK");
  });
  std::string text;
  LRESULT mask = 0;
  AskAndAnswer("p", [&](HWND form) {
    text = uikit::Text(Edit(form));
    mask = SendMessageW(Edit(form), EM_GETPASSWORDCHAR, 0, 0);
    uikit::Press(form, "OK");
  });
  EXPECT_EQ("", text);
  EXPECT_EQ('*', mask);
}

TEST(PasswordPrompt, ForgottenPasswordPageFallsBackToTheSiteRoot) {
  EXPECT_EQ("http://127.0.0.1:8080/client/register.php?act=send&stat=ID42",
            shell::ForgottenPasswordAddress("http://127.0.0.1:8080/", "http://site/", "ID42"));
  EXPECT_EQ("http://site/client/register.php?act=send&stat=ID42",
            shell::ForgottenPasswordAddress("", "http://site/", "ID42"));
}

}  // namespace
