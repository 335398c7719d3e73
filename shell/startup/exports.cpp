// Exports of SolvikaMain.dll that plugins and other libraries call.
#include <windows.h>

#include <string>

#include "guard.h"
#include "message_box.h"
#include "password_form.h"
#include "svstring.h"

namespace {

constexpr int32_t kModuleVersion = 29;
constexpr UINT kErrorBoxFlags = MB_ICONERROR | MB_TOPMOST;  // 0x40010

// Owner of a prompt: the window the user is working in, if this thread has one.
HWND PromptOwner() { return GetActiveWindow(); }

}  // namespace

extern "C" {

int32_t SVAPI GetModuleVersion() { return kModuleVersion; }

void SVAPI MsgBoxError(const char* text, const char* caption) {
  sv::GuardVoid([&] { ui::MessageBox1251(PromptOwner(), sv::Text(text), sv::Text(caption), kErrorBoxFlags); });
}

void SVAPI InputPassword(SvStr* password, const char* prompt) {
  sv::GuardVoid([&] {
    shell::PasswordForm form{std::string(sv::Text(prompt))};
    std::string typed = form.Ask(PromptOwner());
    if (password) sv::PutStr(password, typed);
  });
}

}  // extern "C"
