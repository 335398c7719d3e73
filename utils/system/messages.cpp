// The standard message that the server cannot be reached.
#include <windows.h>

#include "guard.h"
#include "runtime.h"
#include "svstring.h"
#include "wide.h"
#include "SolvikaUtils.h"

SVU_API void SVAPI AppShowNoNetMsg(const char* caption, const char* extra) {
  sv::GuardVoid([&] {
    std::wstring text;
    if (extra && *extra) text = sv::Wide(extra) + L"\r";
    text +=
        L"Невозможно подключиться к серверу!\r\r"
        L"Возможные причины:\r"
        L" - нет подключения к Интернету;\r"
        L" - Ваш фаервол или антивирус блокируют выход программы в Интернет;\r"
        L" - Вы используете прокси сервер, но в настройках программы это не указано.\r\r"
        L"Проверьте эти возможные причины и попытайтесь заново.";
    MessageBoxW(utils::TheRuntime().appWindow, text.c_str(), sv::Wide(sv::Text(caption)).c_str(),
                MB_OK | MB_ICONERROR | MB_TOPMOST);
  });
}
