#include "font.h"

namespace ui {

namespace {

constexpr int kPointsPerInch = 72;
constexpr wchar_t kFaceName[] = L"Tahoma";

int ScreenDpi() {
  HDC screen = GetDC(nullptr);
  int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

}  // namespace

HFONT CreatePointFont(int points, bool bold) {
  // A negative height asks for the character height, as point sizes mean.
  int height = -MulDiv(points, ScreenDpi(), kPointsPerInch);
  return CreateFontW(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, RUSSIAN_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, kFaceName);
}

}  // namespace ui
