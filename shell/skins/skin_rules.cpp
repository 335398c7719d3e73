#include "skin_rules.h"

namespace skins {

namespace {

// Class names compare without regard to the case of Latin letters, as
// window classes do.
bool SameClass(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    wchar_t x = a[i], y = b[i];
    if (x >= L'A' && x <= L'Z') x = (wchar_t)(x - L'A' + L'a');
    if (y >= L'A' && y <= L'Z') y = (wchar_t)(y - L'A' + L'a');
    if (x != y) return false;
  }
  return true;
}

}  // namespace

ColourPair AreaColours(const Skin& skin, Role role) {
  switch (role) {
    case Role::kPanel:
      return {skin.panel, skin.panelText};
    case Role::kHeaderBar:
      return {skin.headerBar, skin.headerText};
    case Role::kWorkspace:
      return {skin.workspace, skin.windowText};
    case Role::kList:
      return {skin.listBackground, skin.listText};
    case Role::kEdit:
      return {skin.editBackground, skin.editText};
    case Role::kAuto:
    case Role::kWindow:
      break;
  }
  return {skin.window, skin.windowText};
}

ColourPair ControlColours(const Skin& skin, ControlKind kind, Role controlRole, Role areaRole) {
  // A read-only or disabled edit field asks as a static does; the platform
  // shows it in the colours of its surroundings.
  if (controlRole == Role::kEdit && kind == ControlKind::kStatic) return AreaColours(skin, areaRole);
  if (controlRole != Role::kAuto) return AreaColours(skin, controlRole);
  if (kind == ControlKind::kEdit || kind == ControlKind::kListBox) return AreaColours(skin, Role::kEdit);
  return AreaColours(skin, areaRole);
}

Role DefaultRole(std::wstring_view className, bool topLevel, bool mdiChild, bool classHasBackground) {
  if (SameClass(className, L"MDIClient")) return Role::kWorkspace;
  if (SameClass(className, L"SysListView32") || SameClass(className, L"SysTreeView32")) return Role::kList;
  if (SameClass(className, L"Edit")) return Role::kEdit;
  if (topLevel || mdiChild || SameClass(className, L"#32770")) return Role::kWindow;
  // The platform's controls draw themselves or ask their parent; only the
  // program's own windows with a class background are panels.
  static const wchar_t* const kControls[] = {L"Static", L"Button", L"ComboBox", L"ListBox", L"ScrollBar",
                                             L"SysTabControl32", L"msctls_statusbar32", L"ToolbarWindow32",
                                             L"ReBarWindow32", L"SysHeader32", L"msctls_progress32"};
  for (const wchar_t* control : kControls)
    if (SameClass(className, control)) return Role::kAuto;
  return classHasBackground ? Role::kPanel : Role::kAuto;
}

}  // namespace skins
