#include "catalogue_pictures.h"

#include "catalogue_form_ids.h"
#include "wide.h"
#include "win_handles.h"

namespace patchkeeper {

namespace {

constexpr int kGrowBy = 16;  // room for the plugins' icons
constexpr COLORREF kClear = RGB(255, 0, 255);  // the strip's clear pixels

}  // namespace

HIMAGELIST LoadCataloguePictures(HINSTANCE module) {
  sv::GdiObject<HBITMAP> strip(static_cast<HBITMAP>(
      LoadImageW(module, MAKEINTRESOURCEW(IDB_CATALOGUE_IMAGES), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  if (!strip) return nullptr;
  HIMAGELIST list = ImageList_Create(kPictureSize, kPictureSize, ILC_COLOR32 | ILC_MASK, kFixedPictureCount, kGrowBy);
  if (!list) return nullptr;
  if (ImageList_AddMasked(list, strip.Get(), kClear) < 0 || ImageList_GetImageCount(list) != kFixedPictureCount) {
    ImageList_Destroy(list);
    return nullptr;
  }
  return list;
}

int AddIconFile(HIMAGELIST list, const std::string& path1251) {
  if (!list) return kPicturePlugin;
  const DWORD attributes = GetFileAttributesW(sv::Wide(path1251).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return kPicturePlugin;
  sv::Icon icon(static_cast<HICON>(
      LoadImageW(nullptr, sv::Wide(path1251).c_str(), IMAGE_ICON, kPictureSize, kPictureSize, LR_LOADFROMFILE)));
  if (!icon) return kPicturePlugin;
  const int index = ImageList_AddIcon(list, icon.Get());
  return index >= 0 ? index : kPicturePlugin;
}

void DropPluginIcons(HIMAGELIST list) {
  if (list && ImageList_GetImageCount(list) > kFixedPictureCount) ImageList_SetImageCount(list, kFixedPictureCount);
}

}  // namespace patchkeeper
