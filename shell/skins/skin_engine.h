// The skin engine: holds the current skin and gives windows its colours.
// Restyle(top) walks a window and its descendants: each one is subclassed so
// that it answers WM_CTLCOLOR* with the skin's brushes and paints its
// background in the skin's colour; list and tree views get their colours,
// controls the skin's font, the menu bar its background. Switching the skin
// or turning the engine off restyles every window it has touched, and
// turning it off gives back exactly the look the windows had before.
// UI thread only. The engine must outlive nothing: its destructor returns
// every window to the system look.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "skin_file.h"
#include "skin_rules.h"

namespace skins {

// Skin files larger than this are refused: a skin is a few hundred bytes.
constexpr size_t kMaxSkinFileBytes = 64 * 1024;

// Marks a window with a role the engine cannot tell from its class (a
// panel's caption bar, a panel without a class background). Kept in a
// window property, so it may be set before or after Restyle.
void SetRole(HWND window, Role role);
Role RoleOf(HWND window);

class SkinEngine {
 public:
  SkinEngine();
  ~SkinEngine();
  SkinEngine(const SkinEngine&) = delete;
  SkinEngine& operator=(const SkinEngine&) = delete;

  // Reads a .skn file (Windows-1251 path) and makes it the current skin;
  // false, with the current skin kept, when it cannot be read.
  bool Load(const std::string& path1251);
  // Makes `skin` the current one; windows already styled take it at once.
  void Use(const Skin& skin);
  const Skin& Current() const { return skin_; }

  bool Active() const { return active_; }
  // On: every window given to Restyle takes the skin. Off: they get back the
  // platform's look.
  void SetActive(bool active);

  // Styles `top` and all its descendants (when active) and remembers it, so
  // that later switches reach it too.
  void Restyle(HWND top);

  // While the menus are rebuilt the engine leaves them alone; Resume styles
  // the new menus.
  void SuspendMenu();
  void ResumeMenu();
  bool MenuSuspended() const { return menuSuspended_; }
  // Gives a popup menu the skin's menu background (call before showing it).
  void StyleMenu(HMENU menu);

  // The brush of a colour of the current skin; owned by the engine, valid
  // until the next skin switch.
  HBRUSH Brush(Colour colour);

 private:
  struct Palette;
  struct Styled;
  friend LRESULT CALLBACK SkinSubclassProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);

  static BOOL CALLBACK ApplyToChild(HWND child, LPARAM self);
  void Apply(HWND window, bool root);
  void ApplyTree(HWND top);
  void Unstyle(HWND window, Styled& state);
  void UnstyleAll();
  void ApplyMenu(HWND top, bool skinned);
  void ReapplyAll();
  void Forget(HWND window);
  bool OnMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result);

  Skin skin_;
  std::unique_ptr<Palette> palette_;
  // The palette before the last switch: menus and fonts may still hold its
  // objects until they have been given the new ones.
  std::unique_ptr<Palette> retired_;
  bool active_ = false;
  bool menuSuspended_ = false;
  std::vector<HWND> roots_;
  std::map<HWND, std::unique_ptr<Styled>> styled_;
};

}  // namespace skins
