// Windows-1251 text in and out of controls: every conversion to UTF-16 for a
// window happens here, once, before the W function is called.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace ui {

std::string GetText(HWND window);
void SetText(HWND window, std::string_view text1251);
std::string GetItemText(HWND dialog, int id);
void SetItemText(HWND dialog, int id, std::string_view text1251);

}  // namespace ui
