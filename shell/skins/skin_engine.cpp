#include "skin_engine.h"

#include <commctrl.h>
#include <uxtheme.h>

#include <algorithm>

#include "file_io.h"
#include "guard.h"
#include "wide.h"
#include "win_handles.h"

namespace skins {

namespace {

constexpr wchar_t kRoleProperty[] = L"SvSkinRole";
constexpr int kClassNameChars = 64;

COLORREF ToColorRef(Colour c) { return RGB(c.r, c.g, c.b); }

std::wstring ClassName(HWND window) {
  wchar_t name[kClassNameChars] = {};
  GetClassNameW(window, name, kClassNameChars);
  return name;
}

bool IsTopLevel(HWND window) { return (GetWindowLongW(window, GWL_STYLE) & WS_CHILD) == 0; }
bool IsMdiChild(HWND window) { return (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_MDICHILD) != 0; }

Role EffectiveRole(HWND window) {
  Role set = RoleOf(window);
  if (set != Role::kAuto) return set;
  return DefaultRole(ClassName(window), IsTopLevel(window), IsMdiChild(window),
                     GetClassLongPtrW(window, GCLP_HBRBACKGROUND) != 0);
}

sv::GdiObject<HFONT> MakeFont(const SkinFont& font) {
  LOGFONTW lf = {};
  sv::WindowDC screen(nullptr);
  lf.lfHeight = -MulDiv(font.points, GetDeviceCaps(screen.Get(), LOGPIXELSY), 72);
  lf.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
  lf.lfCharSet = RUSSIAN_CHARSET;
  lf.lfQuality = DEFAULT_QUALITY;
  std::wstring face = sv::Wide(font.face);
  face.resize(std::min<size_t>(face.size(), LF_FACESIZE - 1));
  wcscpy(lf.lfFaceName, face.c_str());
  return sv::GdiObject<HFONT>(CreateFontIndirectW(&lf));
}

ControlKind KindOf(UINT message) {
  switch (message) {
    case WM_CTLCOLORBTN:
      return ControlKind::kButton;
    case WM_CTLCOLOREDIT:
      return ControlKind::kEdit;
    case WM_CTLCOLORLISTBOX:
      return ControlKind::kListBox;
    case WM_CTLCOLORDLG:
      return ControlKind::kDialog;
  }
  return ControlKind::kStatic;
}

}  // namespace

void SetRole(HWND window, Role role) {
  if (role == Role::kAuto)
    RemovePropW(window, kRoleProperty);
  else
    SetPropW(window, kRoleProperty, (HANDLE)(INT_PTR)role);
}

Role RoleOf(HWND window) { return (Role)(INT_PTR)GetPropW(window, kRoleProperty); }

// The GDI objects of one skin: its font and a brush per colour, made on
// first use.
struct SkinEngine::Palette {
  sv::GdiObject<HFONT> font;
  std::map<COLORREF, sv::GdiObject<HBRUSH>> brushes;

  HBRUSH Brush(Colour colour) {
    COLORREF key = ToColorRef(colour);
    auto it = brushes.find(key);
    if (it == brushes.end()) it = brushes.emplace(key, sv::GdiObject<HBRUSH>(CreateSolidBrush(key))).first;
    return it->second.Get();
  }
};

// What the engine changed on one window, so that it can be given back.
struct SkinEngine::Styled {
  SkinEngine* engine = nullptr;
  Role role = Role::kAuto;
  bool paintsBackground = false;
  bool fontSet = false;
  HFONT originalFont = nullptr;
  bool themeOff = false;
  bool listColours = false;
  COLORREF listBack = 0, listText = 0, listTextBack = 0;
  bool treeColours = false;
  COLORREF treeBack = 0, treeText = 0;
};

LRESULT CALLBACK SkinSubclassProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                  DWORD_PTR data) {
  auto* state = reinterpret_cast<SkinEngine::Styled*>(data);
  LRESULT result = 0;
  if (sv::Guard(false, [&] { return state->engine->OnMessage(window, message, wparam, lparam, &result); }))
    return result;
  if (message == WM_NCDESTROY) {
    SkinEngine* engine = state->engine;
    result = DefSubclassProc(window, message, wparam, lparam);
    sv::GuardVoid([&] { engine->Forget(window); });
    return result;
  }
  return DefSubclassProc(window, message, wparam, lparam);
}

SkinEngine::SkinEngine() : skin_(DefaultSkin()), palette_(new Palette) { palette_->font = MakeFont(skin_.font); }

SkinEngine::~SkinEngine() {
  UnstyleAll();
  for (HWND root : roots_)
    if (IsWindow(root)) ApplyMenu(root, false);
}

bool SkinEngine::Load(const std::string& path1251) {
  std::string bytes;
  if (!sv::ReadWholeFile(path1251, &bytes) || bytes.size() > kMaxSkinFileBytes) return false;
  Use(ReadSkin(bytes).skin);
  return true;
}

void SkinEngine::Use(const Skin& skin) {
  skin_ = skin;
  retired_ = std::move(palette_);
  palette_.reset(new Palette);
  palette_->font = MakeFont(skin_.font);
  if (active_) ReapplyAll();
  // Menus left alone while suspended still hold the old brush until Resume.
  if (!menuSuspended_ || !active_) retired_.reset();
}

HBRUSH SkinEngine::Brush(Colour colour) { return palette_->Brush(colour); }

void SkinEngine::SetActive(bool active) {
  if (active == active_) return;
  active_ = active;
  if (active) {
    ReapplyAll();
    return;
  }
  UnstyleAll();
  for (HWND root : roots_) {
    if (!IsWindow(root)) continue;
    ApplyMenu(root, false);
    RedrawWindow(root, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
  }
}

void SkinEngine::Restyle(HWND top) {
  if (!IsWindow(top)) return;
  roots_.erase(std::remove_if(roots_.begin(), roots_.end(), [](HWND w) { return !IsWindow(w); }), roots_.end());
  if (std::find(roots_.begin(), roots_.end(), top) == roots_.end()) roots_.push_back(top);
  if (active_) ApplyTree(top);
}

void SkinEngine::SuspendMenu() { menuSuspended_ = true; }

void SkinEngine::ResumeMenu() {
  menuSuspended_ = false;
  if (active_)
    for (HWND root : roots_)
      if (IsWindow(root)) ApplyMenu(root, true);
  retired_.reset();
}

void SkinEngine::StyleMenu(HMENU menu) {
  if (!menu) return;
  MENUINFO info = {};
  info.cbSize = sizeof info;
  info.fMask = MIM_BACKGROUND | MIM_APPLYTOSUBMENUS;
  info.hbrBack = active_ ? palette_->Brush(skin_.menuBackground) : nullptr;
  SetMenuInfo(menu, &info);
}

void SkinEngine::ReapplyAll() {
  // Windows styled before stay styled even when they left their root.
  std::vector<HWND> styled;
  for (auto& entry : styled_) styled.push_back(entry.first);
  for (HWND window : styled)
    if (IsWindow(window)) Apply(window, false);
  for (HWND root : roots_)
    if (IsWindow(root)) ApplyTree(root);
}

void SkinEngine::ApplyTree(HWND top) {
  Apply(top, true);
  EnumChildWindows(top, ApplyToChild, (LPARAM)this);
  if (!menuSuspended_) ApplyMenu(top, true);
  RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
}

BOOL CALLBACK SkinEngine::ApplyToChild(HWND child, LPARAM self) {
  sv::GuardVoid([&] { reinterpret_cast<SkinEngine*>(self)->Apply(child, false); });
  return TRUE;
}

void SkinEngine::Apply(HWND window, bool root) {
  auto found = styled_.find(window);
  Styled* state = found == styled_.end() ? nullptr : found->second.get();
  if (!state) {
    auto fresh = std::make_unique<Styled>();
    fresh->engine = this;
    if (!SetWindowSubclass(window, SkinSubclassProc, (UINT_PTR)this, (DWORD_PTR)fresh.get())) return;
    state = fresh.get();
    styled_[window] = std::move(fresh);
  }
  state->role = EffectiveRole(window);
  state->paintsBackground = PaintsBackground(state->role);
  const std::wstring cls = ClassName(window);

  // Controls take the skin's font; frames, MDI children and the MDI client
  // have no font of their own.
  if (!root && !IsTopLevel(window) && !IsMdiChild(window) && state->role != Role::kWorkspace) {
    if (!state->fontSet) {
      state->originalFont = (HFONT)SendMessageW(window, WM_GETFONT, 0, 0);
      state->fontSet = true;
    }
    SendMessageW(window, WM_SETFONT, (WPARAM)palette_->font.Get(), TRUE);
  }

  const ColourPair list = AreaColours(skin_, Role::kList);
  if (_wcsicmp(cls.c_str(), WC_LISTVIEWW) == 0) {
    if (!state->listColours) {
      state->listBack = ListView_GetBkColor(window);
      state->listText = ListView_GetTextColor(window);
      state->listTextBack = ListView_GetTextBkColor(window);
      state->listColours = true;
    }
    ListView_SetBkColor(window, ToColorRef(list.back));
    ListView_SetTextBkColor(window, ToColorRef(list.back));
    ListView_SetTextColor(window, ToColorRef(list.text));
  } else if (_wcsicmp(cls.c_str(), WC_TREEVIEWW) == 0) {
    if (!state->treeColours) {
      state->treeBack = TreeView_GetBkColor(window);
      state->treeText = TreeView_GetTextColor(window);
      state->treeColours = true;
    }
    TreeView_SetBkColor(window, ToColorRef(list.back));
    TreeView_SetTextColor(window, ToColorRef(list.text));
  } else if (_wcsicmp(cls.c_str(), L"Button") == 0) {
    // Themed check boxes, radio buttons and group boxes draw their text in
    // the theme's colour; a skin that is not themed needs them plain.
    if (!skin_.themed && !state->themeOff) {
      SetWindowTheme(window, L"", L"");
      state->themeOff = true;
    } else if (skin_.themed && state->themeOff) {
      SetWindowTheme(window, nullptr, nullptr);
      state->themeOff = false;
    }
  }
}

void SkinEngine::Unstyle(HWND window, Styled& state) {
  if (state.fontSet) SendMessageW(window, WM_SETFONT, (WPARAM)state.originalFont, TRUE);
  if (state.listColours) {
    ListView_SetBkColor(window, state.listBack);
    ListView_SetTextBkColor(window, state.listTextBack);
    ListView_SetTextColor(window, state.listText);
  }
  if (state.treeColours) {
    TreeView_SetBkColor(window, state.treeBack);
    TreeView_SetTextColor(window, state.treeText);
  }
  if (state.themeOff) SetWindowTheme(window, nullptr, nullptr);
  RemoveWindowSubclass(window, SkinSubclassProc, (UINT_PTR)this);
}

void SkinEngine::UnstyleAll() {
  std::map<HWND, std::unique_ptr<Styled>> styled;
  styled.swap(styled_);
  for (auto& entry : styled)
    if (IsWindow(entry.first)) Unstyle(entry.first, *entry.second);
}

void SkinEngine::ApplyMenu(HWND top, bool skinned) {
  HMENU menu = GetMenu(top);
  if (!menu || !IsTopLevel(top)) return;
  MENUINFO info = {};
  info.cbSize = sizeof info;
  info.fMask = MIM_BACKGROUND | MIM_APPLYTOSUBMENUS;
  info.hbrBack = skinned ? palette_->Brush(skin_.menuBackground) : nullptr;
  SetMenuInfo(menu, &info);
  DrawMenuBar(top);
}

void SkinEngine::Forget(HWND window) {
  auto found = styled_.find(window);
  if (found == styled_.end()) return;
  RemoveWindowSubclass(window, SkinSubclassProc, (UINT_PTR)this);
  styled_.erase(found);
}

bool SkinEngine::OnMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) {
  auto found = styled_.find(window);
  if (!active_ || found == styled_.end()) return false;
  const Styled& state = *found->second;
  switch (message) {
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORDLG: {
      HDC dc = (HDC)wparam;
      HWND control = (HWND)lparam;
      Role controlRole = control && control != window ? EffectiveRole(control) : Role::kAuto;
      ColourPair colours = ControlColours(skin_, KindOf(message), controlRole, state.role);
      SetTextColor(dc, ToColorRef(colours.text));
      SetBkColor(dc, ToColorRef(colours.back));
      *result = (LRESULT)palette_->Brush(colours.back);
      return true;
    }
    case WM_ERASEBKGND: {
      if (!state.paintsBackground) return false;
      RECT client = {};
      GetClientRect(window, &client);
      FillRect((HDC)wparam, &client, palette_->Brush(AreaColours(skin_, state.role).back));
      *result = 1;
      return true;
    }
  }
  return false;
}

}  // namespace skins
