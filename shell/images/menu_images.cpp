#include "menu_images.h"

#include <vector>

#include "image_ids.h"
#include "win_handles.h"

namespace shell {

namespace {

constexpr int kGrowBy = 16;  // room for plugin icons

// A monochrome mask of the strip: set where the picture is clear (alpha 0),
// so the images also draw correctly where alpha is not honoured.
sv::GdiObject<HBITMAP> MaskFromAlpha(HBITMAP strip) {
  DIBSECTION dib = {};
  if (GetObjectW(strip, sizeof dib, &dib) != sizeof dib || dib.dsBm.bmBitsPixel != 32 || !dib.dsBm.bmBits)
    return {};
  const int width = dib.dsBm.bmWidth, height = dib.dsBm.bmHeight;
  const int rowBytes = ((width + 15) / 16) * 2;  // monochrome bitmap rows are word-aligned
  std::vector<BYTE> bits(rowBytes * height, 0);
  const BYTE* pixels = static_cast<const BYTE*>(dib.dsBm.bmBits);
  const bool bottomUp = dib.dsBmih.biHeight > 0;
  for (int y = 0; y < height; ++y) {
    const BYTE* row = pixels + (bottomUp ? height - 1 - y : y) * dib.dsBm.bmWidthBytes;
    for (int x = 0; x < width; ++x)
      if (row[x * 4 + 3] == 0) bits[y * rowBytes + x / 8] |= (BYTE)(0x80 >> (x % 8));
  }
  return sv::GdiObject<HBITMAP>(CreateBitmap(width, height, 1, 1, bits.data()));
}

}  // namespace

HIMAGELIST LoadMenuImages(HINSTANCE module) {
  sv::GdiObject<HBITMAP> strip(
      (HBITMAP)LoadImageW(module, MAKEINTRESOURCEW(IDB_MENU_IMAGES), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (!strip) return nullptr;
  sv::GdiObject<HBITMAP> mask = MaskFromAlpha(strip.Get());
  HIMAGELIST list = ImageList_Create(kMenuImageSize, kMenuImageSize, ILC_COLOR32 | ILC_MASK, kMenuImageCount, kGrowBy);
  if (!list) return nullptr;
  if (ImageList_Add(list, strip.Get(), mask.Get()) < 0 || ImageList_GetImageCount(list) != kMenuImageCount) {
    ImageList_Destroy(list);
    return nullptr;
  }
  return list;
}

HICON LoadPluginFallbackIcon(HINSTANCE module, int size) {
  return (HICON)LoadImageW(module, MAKEINTRESOURCEW(IDI_PLUGIN), IMAGE_ICON, size, size, LR_DEFAULTCOLOR);
}

}  // namespace shell
