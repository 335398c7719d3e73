// Fonts of a given point size in the system's dialog face with the Cyrillic
// character set, for controls drawn in a given point size.
#pragma once

#include <windows.h>

namespace ui {

// A new font the caller owns (sv::GdiObject<HFONT>); null on failure.
HFONT CreatePointFont(int points, bool bold);

}  // namespace ui
