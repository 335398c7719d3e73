// The splash window: borderless, topmost, partly transparent, centred on the
// desktop, its 500 x 300 client area filled by the logo picture.
#pragma once

#include <windows.h>

namespace splash {

constexpr wchar_t kLogoFormClass[] = L"TLogoForm";
constexpr int kLogoWidth = 500;
constexpr int kLogoHeight = 300;
constexpr BYTE kLogoOpacity = 230;

// Creates, shows and paints the splash window owned by `application`.
HWND CreateLogoForm(HWND application);

}  // namespace splash
