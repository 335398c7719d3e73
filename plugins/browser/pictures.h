// The pictures of the browser window, drawn at run time with GDI: the six
// tool buttons and the frames of the loading animation.
#pragma once

#include <windows.h>
#include <commctrl.h>

namespace svbrowser {

constexpr int kToolPictureSize = 16;
enum ToolPicture { kPictureBack, kPictureForward, kPictureRefresh, kPictureStop, kPictureHome, kPictureClose,
                   kToolPictureCount };

// A new image list of the tool pictures; the caller destroys it.
HIMAGELIST DrawToolPictures();

constexpr int kAnimationFrames = 8;
// One frame of the loading animation: a ring of dots, one of them bright,
// the brightness running round as the frames go on; centred in `box`.
void DrawAnimationFrame(HDC dc, const RECT& box, int frame);

}  // namespace svbrowser
