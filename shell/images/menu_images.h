// The menu image list: the 20 fixed 16 x 16 menu icons of the shell, in the
// order the menus refer to them (MenuImage). Plugin icons are appended
// behind them by the shell.
#pragma once

#include <windows.h>
#include <commctrl.h>

namespace shell {

constexpr int kMenuImageSize = 16;
constexpr int kMenuImageCount = 20;

enum MenuImage {
  kImageSettings = 0,
  kImageHomePage = 1,
  kImageLetter = 2,
  kImageExit = 3,
  kImageClosePlugin = 4,
  kImageInfo = 5,
  kImageAccess = 6,
  kImageBackup = 7,
  kImageUpdates = 8,
  kImageHide = 9,
  kImageOpen = 10,
  kImageMaximise = 11,
  kImageCascade = 12,
  kImageTile = 13,
  kImageSearch = 14,
  kImageContents = 15,
  kImageGroup = 16,
  kImageSkins = 17,
  kImagePay = 18,
  kImageDownloads = 19,
};

// A new image list (32-bit colour with a mask) holding the 20 images from
// the strip in `module`'s resources; the caller destroys it with
// ImageList_Destroy. Null when the resource is missing.
HIMAGELIST LoadMenuImages(HINSTANCE module);

// The icon of a plugin that has none of its own, at the given size (16 or
// 32); the caller destroys it.
HICON LoadPluginFallbackIcon(HINSTANCE module, int size);

}  // namespace shell
