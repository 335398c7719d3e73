// The platform's message box with 1251 texts; an empty caption means the
// application title.
#pragma once

#include <windows.h>

#include <string_view>

namespace ui {

int MessageBox1251(HWND owner, std::string_view text, std::string_view caption, UINT flags);

}  // namespace ui
