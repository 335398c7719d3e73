#include "fonts.h"

namespace ui {

namespace {

constexpr int kPointsPerInch = 72;
constexpr int kDefaultDpi = 96;
constexpr wchar_t kPointFontFace[] = L"Tahoma";

int ScreenDpi() {
  sv::WindowDC screen(nullptr);
  int dpi = screen ? GetDeviceCaps(screen.Get(), LOGPIXELSY) : kDefaultDpi;
  return dpi > 0 ? dpi : kDefaultDpi;
}

}  // namespace

HFONT CreatePointFont(int points, bool bold) {
  // A negative height asks for the character height, as point sizes mean.
  int height = -MulDiv(points, ScreenDpi(), kPointsPerInch);
  return CreateFontW(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, RUSSIAN_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                     kPointFontFace);
}

sv::GdiObject<HFONT> DialogFont(int weight) {
  LOGFONTW font = {};
  font.lfHeight = -MulDiv(kDialogFontPoints, ScreenDpi(), kPointsPerInch);
  font.lfWeight = weight;
  font.lfCharSet = RUSSIAN_CHARSET;
  font.lfQuality = DEFAULT_QUALITY;
  lstrcpyW(font.lfFaceName, L"MS Shell Dlg");
  return sv::GdiObject<HFONT>(CreateFontIndirectW(&font));
}

}  // namespace ui
