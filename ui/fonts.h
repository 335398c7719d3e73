// The platform's dialog font (8 points, Russian character set) for windows
// that are not made from a dialog template.
#pragma once

#include <windows.h>

#include "win_handles.h"

namespace ui {

constexpr int kDialogFontPoints = 8;

sv::GdiObject<HFONT> DialogFont(int weight = FW_NORMAL);

}  // namespace ui
