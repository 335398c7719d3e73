// The pictures of the downloads window, drawn at run time with GDI: one per
// job status for the list, and the tool buttons' pictures, among them the
// speed limits (11 to 17) and the numbers of simultaneous jobs (7 to 10).
#pragma once

#include <windows.h>
#include <commctrl.h>

namespace fetchkeeper {

constexpr int kPictureSize = 16;
constexpr int kStatusPictureCount = 13;   // statuses 0 to 12
constexpr int kButtonPictureCount = 18;   // 0 to 17

// Tool button pictures 0 to 6.
enum ButtonPicture {
  kPictureClose, kPictureUp, kPictureDown, kPictureStart, kPicturePause, kPictureAdd, kPictureSpare
};

// New image lists; the caller destroys them (ImageList_Destroy).
HIMAGELIST DrawStatusPictures();
HIMAGELIST DrawButtonPictures();

}  // namespace fetchkeeper
