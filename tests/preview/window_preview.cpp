// Shows one of the program's windows and keeps it open until the process is
// ended, so that tools/capture_windows.sh can take its picture.
//
//   window_preview.exe password|error|splash|popup
#include <windows.h>

#include <cstring>
#include <string>

#include "popup_form.h"
#include "sv_abi.h"
#include "wide.h"

extern "C" {
__declspec(dllimport) void SVAPI InputPassword(SvStr* password, const char* prompt);
__declspec(dllimport) void SVAPI MsgBoxError(const char* text, const char* caption);
__declspec(dllimport) void SVAPI ShowLogoForm(HWND application);
}

namespace {

void RunMessageLoop() {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const std::string which = argc > 1 ? argv[1] : "";
  if (which == "password") {
    SvStr typed = nullptr;
    InputPassword(&typed, sv::Ru(u8"Введите пароль для доступа").c_str());
    sv::Release(typed);
  } else if (which == "error") {
    MsgBoxError(sv::Ru(u8"Пароль не правильный!").c_str(), sv::Ru(u8"Управление доступом").c_str());
  } else if (which == "popup") {
    // Two notices of one group, newest on top, held on screen.
    shell::PopupForm popup([](const std::string&) {});
    if (!popup.Create()) return 1;
    popup.Add(sv::Ru(u8"Загрузка \"Словарь\" завершена."), sv::Ru(u8"Мастер закачек"), "");
    popup.Add(sv::Ru(u8"Загрузка \"Обновления программы\" завершена."), sv::Ru(u8"Мастер закачек"), "");
    RunMessageLoop();
  } else if (which == "splash") {
    ShowLogoForm(nullptr);
    RunMessageLoop();
  } else {
    return 2;
  }
  return 0;
}
