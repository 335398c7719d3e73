// Which skin colours a window or control gets: plain rules over class names
// and roles, kept apart from the Win32 part so they are tested without windows.
#pragma once

#include <string_view>

#include "skin_file.h"

namespace skins {

// What a window is to the skin. kAuto: decided from its class.
enum class Role { kAuto = 0, kWindow, kPanel, kHeaderBar, kWorkspace, kList, kEdit };

// The kind of control whose colours its parent is asked for (the
// WM_CTLCOLOR* message that asks).
enum class ControlKind { kStatic, kButton, kEdit, kListBox, kDialog };

struct ColourPair {
  Colour back, text;
};

// The colours of an area of a given role (kAuto counts as a window).
ColourPair AreaColours(const Skin& skin, Role role);

// The colours a control gets: its own role when it has one, edit colours for
// edit fields and list boxes, else the colours of the area it stands in.
ColourPair ControlColours(const Skin& skin, ControlKind kind, Role controlRole, Role areaRole);

// The role a window has when nobody set one: the MDI client is the
// workspace, list and tree views are lists, edit fields edits, top-level
// windows, dialogs and MDI children windows; another child of a class that
// has a background of its own is a panel; anything else (buttons, statics,
// windows that paint themselves) is left to its parent.
Role DefaultRole(std::wstring_view className, bool topLevel, bool mdiChild, bool classHasBackground);

// Whether the skin paints the background of a window of this role.
inline bool PaintsBackground(Role role) {
  return role == Role::kWindow || role == Role::kPanel || role == Role::kHeaderBar || role == Role::kWorkspace;
}

}  // namespace skins
