// Fonts of a given point size (Tahoma, Cyrillic character set) for controls
// that are drawn in a size of their own rather than the dialog font.
#pragma once

#include <windows.h>

namespace ui {

// A new font the caller owns (sv::GdiObject<HFONT>); null on failure.
HFONT CreatePointFont(int points, bool bold);

}  // namespace ui
