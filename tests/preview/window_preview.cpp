// Shows one of the program's windows and keeps it open until the process is
// ended, so that tools/capture_windows.sh can take its picture.
//
//   window_preview.exe password|error|splash|popup|plugins
//   window_preview.exe menu <command id>   (a menu command to the running shell)
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "file_io.h"
#include "popup_form.h"
#include "sv_abi.h"
#include "wide.h"

extern "C" {
__declspec(dllimport) void SVAPI InputPassword(SvStr* password, const char* prompt);
__declspec(dllimport) void SVAPI MsgBoxError(const char* text, const char* caption);
__declspec(dllimport) void SVAPI ShowLogoForm(HWND application);
__declspec(dllimport) int32_t SVAPI AddPlugin(const char* key);
__declspec(dllimport) void SVAPI TNPluginsCreate2(HWND parent);
__declspec(dllimport) void SVAPI SetIniString(const char* section, const char* key, const char* value);
}

namespace {

void RunMessageLoop() {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

HWND g_client = nullptr;

LRESULT CALLBACK FrameProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return DefFrameProcW(window, g_client, message, wparam, lparam);
}

// A stand-in main window with the shell's bottom panel, holding the plugin
// tab bar with two of the test plugins open.
void ShowPlugins() {
  WNDCLASSW wc = {};
  wc.lpfnWndProc = FrameProcedure;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
  wc.lpszClassName = L"TSolvikaMainForm";
  RegisterClassW(&wc);
  HWND main = CreateWindowW(L"TSolvikaMainForm", L"Программа Solvika",
                            WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE, 20, 20, 700, 500, nullptr, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
  RECT area = {};
  GetClientRect(main, &area);
  const int panel_height = 27;
  CLIENTCREATESTRUCT mdi = {};
  g_client = CreateWindowExW(WS_EX_CLIENTEDGE, L"MDICLIENT", nullptr, WS_CHILD | WS_CLIPCHILDREN | WS_VISIBLE, 0, 0,
                             area.right, area.bottom - panel_height, main, nullptr, GetModuleHandleW(nullptr), &mdi);
  HWND panel = CreateWindowW(L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, area.bottom - panel_height, area.right,
                             panel_height, main, nullptr, GetModuleHandleW(nullptr), nullptr);
  TNPluginsCreate2(panel);
  // The preview's sections are put into the settings only while the plugins
  // open; the settings file is left as it was.
  const std::string settings = sv::ProgramFolder() + "Tovrin.ini";
  std::string kept;
  const bool existed = sv::ReadWholeFile(settings, &kept);
  SetIniString("*PreviewA", "Library", "Alpha.svx");
  SetIniString("*PreviewA", "Name", sv::Ru(u8"Словарь").c_str());
  SetIniString("*PreviewB", "Library", "Beta.svx");
  SetIniString("*PreviewB", "Name", sv::Ru(u8"Мастер закачек").c_str());
  AddPlugin("*PreviewA");
  AddPlugin("*PreviewB");
  if (existed) {
    sv::WriteFileReplacing(settings, kept);
  } else {
    DeleteFileW(sv::Wide(settings).c_str());
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
  } else if (which == "plugins") {
    ShowPlugins();
    RunMessageLoop();
  } else if (which == "menu" && argc > 2) {
    // As if the user chose the item: the screenshot script opens plugins so.
    HWND main = FindWindowW(L"TSolvikaMainForm", nullptr);
    if (!main) return 1;
    PostMessageW(main, WM_COMMAND, (WPARAM)atoi(argv[2]), 0);
  } else {
    return 2;
  }
  return 0;
}
