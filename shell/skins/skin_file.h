// A skin file (.skn): an INI text naming the colours of the program's windows
// and the font of their controls. Anything missing or unreadable keeps the
// default look, so a partial or damaged skin still gives a usable window.
// The format is described in FORMAT.md beside this file. No Windows API here,
// so the reader can be tested and fuzzed natively.
#pragma once

#include <stdint.h>

#include <string>
#include <string_view>

namespace skins {

struct Colour {
  uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Colour& o) const { return r == o.r && g == o.g && b == o.b; }
  bool operator!=(const Colour& o) const { return !(*this == o); }
};

constexpr int kMinFontPoints = 6;
constexpr int kMaxFontPoints = 36;
constexpr size_t kMaxFaceBytes = 31;  // LOGFONT holds 32 characters with the zero

struct SkinFont {
  std::string face;  // Windows-1251
  int points = 8;
  bool bold = false;
  bool operator==(const SkinFont& o) const { return face == o.face && points == o.points && bold == o.bold; }
};

struct Skin {
  std::string name;  // Windows-1251; shown nowhere yet, kept for the skin's author
  bool themed = true;  // controls keep the platform's visual styles
  Colour window, windowText;  // dialogs and top-level windows
  Colour panel, panelText;  // panels inside windows
  Colour headerBar, headerText;  // caption bars of panels
  Colour workspace;  // the area behind plugin windows
  Colour listBackground, listText;
  Colour editBackground, editText;
  Colour menuBackground, menuText, menuHighlight, menuHighlightText;
  SkinFont font;
};

// The look used where a skin gives nothing: the program's usual light grey
// and blue.
Skin DefaultSkin();

struct SkinReadResult {
  Skin skin;
  int valuesRead = 0;  // values taken from the text
  int valuesRejected = 0;  // values present but unreadable (the default was kept)
};

SkinReadResult ReadSkin(std::string_view text);

// The skin as a .skn text that ReadSkin reads back to the same skin.
std::string WriteSkin(const Skin& skin);

// "#RRGGBB" or "R,G,B" (0-255 each, blanks allowed around the numbers).
bool ParseColour(std::string_view text, Colour* colour);

}  // namespace skins
