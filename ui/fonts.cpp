#include "fonts.h"

namespace ui {

namespace {
constexpr int kPointsPerInch = 72;
}  // namespace

sv::GdiObject<HFONT> DialogFont(int weight) {
  int dpi = 96;
  {
    sv::WindowDC screen(nullptr);
    if (screen) dpi = GetDeviceCaps(screen.Get(), LOGPIXELSY);
  }
  LOGFONTW font = {};
  font.lfHeight = -MulDiv(kDialogFontPoints, dpi, kPointsPerInch);
  font.lfWeight = weight;
  font.lfCharSet = RUSSIAN_CHARSET;
  font.lfQuality = DEFAULT_QUALITY;
  lstrcpyW(font.lfFaceName, L"MS Shell Dlg");
  return sv::GdiObject<HFONT>(CreateFontIndirectW(&font));
}

}  // namespace ui
