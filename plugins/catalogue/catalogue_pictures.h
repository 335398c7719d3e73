// The catalogue list's image list: the six pictures drawn at build time (0
// directory, 1 refresh, 2 close, 3 install, 4 information, 5 the icon of a
// plugin without one), and behind them the plugins' own icons, loaded from
// the program folder as the rows are shown.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

namespace patchkeeper {

constexpr int kPictureSize = 16;
constexpr int kFixedPictureCount = 6;
enum Picture { kPictureDirectory, kPictureRefresh, kPictureClose, kPictureInstall, kPictureInfo, kPicturePlugin };

// A new image list with the six fixed pictures; the caller destroys it.
// Null when the resource is missing.
HIMAGELIST LoadCataloguePictures(HINSTANCE module);

// Appends the icon file `path1251` to `list`: its index, or kPicturePlugin
// when the file is missing or is not an icon.
int AddIconFile(HIMAGELIST list, const std::string& path1251);

// Drops every plugin icon, keeping the six fixed pictures.
void DropPluginIcons(HIMAGELIST list);

}  // namespace patchkeeper
