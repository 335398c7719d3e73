// Exports of SolvikaMain.dll: the program's start, and the services that
// plugins and other libraries call.
#include <windows.h>

#include <string>

#include "guard.h"
#include "message_box.h"
#include "password_form.h"
#include "popup_form.h"
#include "shell_state.h"
#include "start.h"
#include "svstring.h"
#include "SolvikaMain.h"

namespace {

constexpr int32_t kModuleVersion = 29;
constexpr UINT kErrorBoxFlags = MB_ICONERROR | MB_TOPMOST;  // 0x40010

// Owner of a prompt: the window the user is working in, if this thread has one.
HWND PromptOwner() { return GetActiveWindow(); }

}  // namespace

SVMAIN_API int32_t SVAPI GetModuleVersion() { return kModuleVersion; }

SVMAIN_API void SVAPI SolvikaStart() {
  sv::GuardVoid([] { shell::RunProgram(); });
}

SVMAIN_API void SVAPI ShowPopup(const char* text, const char* title, const char* pluginKey) {
  sv::GuardVoid([&] {
    shell::PopupForm* popup = shell::Shell().popup;
    if (!popup || !popup->Handle()) return;
    popup->Add(std::string(sv::Text(text)), std::string(sv::Text(title)), std::string(sv::Text(pluginKey)));
  });
}

SVMAIN_API void SVAPI MsgBoxError(const char* text, const char* caption) {
  sv::GuardVoid([&] { ui::MessageBox1251(PromptOwner(), sv::Text(text), sv::Text(caption), kErrorBoxFlags); });
}

SVMAIN_API void SVAPI InputPassword(SvStr* password, const char* prompt) {
  sv::GuardVoid([&] {
    shell::PasswordForm form{std::string(sv::Text(prompt))};
    std::string typed = form.Ask(PromptOwner());
    if (password) sv::PutStr(password, typed);
  });
}
