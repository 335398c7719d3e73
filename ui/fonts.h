// Fonts: the platform's dialog font (8 points, Russian character set) for
// windows that are not made from a dialog template, and fonts of other sizes.
#pragma once

#include <windows.h>

#include "win_handles.h"

namespace ui {

constexpr int kDialogFontPoints = 8;

sv::GdiObject<HFONT> DialogFont(int weight = FW_NORMAL);

// A font of its own size (Tahoma, Cyrillic character set) for controls drawn
// larger or smaller than the dialog font; the caller owns it. Null on failure.
HFONT CreatePointFont(int points, bool bold);

}  // namespace ui
