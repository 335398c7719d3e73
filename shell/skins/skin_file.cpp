#include "skin_file.h"

#include <stdio.h>

#include "ini_text.h"

namespace skins {

namespace {

constexpr char kSkinSection[] = "Skin";
constexpr char kColoursSection[] = "Colours";
constexpr char kFontSection[] = "Font";

struct ColourKey {
  const char* key;
  Colour Skin::*member;
};

// The colour keys in the order WriteSkin emits them.
const ColourKey kColourKeys[] = {
    {"Window", &Skin::window},
    {"WindowText", &Skin::windowText},
    {"Panel", &Skin::panel},
    {"PanelText", &Skin::panelText},
    {"HeaderBar", &Skin::headerBar},
    {"HeaderText", &Skin::headerText},
    {"Workspace", &Skin::workspace},
    {"ListBackground", &Skin::listBackground},
    {"ListText", &Skin::listText},
    {"EditBackground", &Skin::editBackground},
    {"EditText", &Skin::editText},
    {"MenuBackground", &Skin::menuBackground},
    {"MenuText", &Skin::menuText},
    {"MenuHighlight", &Skin::menuHighlight},
    {"MenuHighlightText", &Skin::menuHighlightText},
};

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// A decimal number of at most `maxDigits` digits, nothing else.
bool ParseSmallNumber(std::string_view s, size_t maxDigits, int* value) {
  s = Trim(s);
  if (s.empty() || s.size() > maxDigits) return false;
  int v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  *value = v;
  return true;
}

bool ParseFlag(std::string_view s, bool* flag) {
  s = Trim(s);
  if (s == "0" || s == "1") {
    *flag = s == "1";
    return true;
  }
  return false;
}

Colour Rgb(uint8_t r, uint8_t g, uint8_t b) {
  Colour c;
  c.r = r;
  c.g = g;
  c.b = b;
  return c;
}

// A face name Windows can hold: not empty, short enough, no control bytes.
bool ValidFace(std::string_view face) {
  if (face.empty() || face.size() > kMaxFaceBytes) return false;
  for (unsigned char c : face)
    if (c < 0x20) return false;
  return true;
}

}  // namespace

Skin DefaultSkin() {
  Skin s;
  s.name = "LE4-DEFAULT";
  s.themed = true;
  s.window = Rgb(232, 236, 242);
  s.windowText = Rgb(0, 0, 0);
  s.panel = Rgb(218, 226, 238);
  s.panelText = Rgb(16, 32, 64);
  s.headerBar = Rgb(58, 110, 165);
  s.headerText = Rgb(255, 255, 255);
  s.workspace = Rgb(171, 184, 204);
  s.listBackground = Rgb(255, 255, 255);
  s.listText = Rgb(0, 0, 0);
  s.editBackground = Rgb(255, 255, 255);
  s.editText = Rgb(0, 0, 0);
  s.menuBackground = Rgb(242, 245, 250);
  s.menuText = Rgb(0, 0, 0);
  s.menuHighlight = Rgb(58, 110, 165);
  s.menuHighlightText = Rgb(255, 255, 255);
  s.font.face = "Tahoma";
  s.font.points = 8;
  s.font.bold = false;
  return s;
}

bool ParseColour(std::string_view text, Colour* colour) {
  std::string_view s = Trim(text);
  if (!s.empty() && s.front() == '#') {
    if (s.size() != 7) return false;
    int d[6];
    for (int i = 0; i < 6; ++i)
      if ((d[i] = HexDigit(s[1 + i])) < 0) return false;
    *colour = Rgb((uint8_t)(d[0] * 16 + d[1]), (uint8_t)(d[2] * 16 + d[3]), (uint8_t)(d[4] * 16 + d[5]));
    return true;
  }
  int parts[3];
  for (int i = 0; i < 3; ++i) {
    size_t comma = s.find(',');
    bool last = i == 2;
    if (last != (comma == std::string_view::npos)) return false;  // exactly three parts
    std::string_view part = last ? s : s.substr(0, comma);
    if (!ParseSmallNumber(part, 3, &parts[i]) || parts[i] > 255) return false;
    if (!last) s.remove_prefix(comma + 1);
  }
  *colour = Rgb((uint8_t)parts[0], (uint8_t)parts[1], (uint8_t)parts[2]);
  return true;
}

SkinReadResult ReadSkin(std::string_view text) {
  SkinReadResult result;
  result.skin = DefaultSkin();
  Skin& skin = result.skin;
  const sv::IniText ini(text);
  std::string value;
  // Counts a present value as read or rejected.
  auto take = [&](bool ok) { ++(ok ? result.valuesRead : result.valuesRejected); };

  if (ini.Find(kSkinSection, "Name", &value)) {
    bool ok = !value.empty() && value.find_first_of("\r\n") == std::string::npos;
    if (ok) skin.name = value;
    take(ok);
  }
  if (ini.Find(kSkinSection, "Themed", &value)) take(ParseFlag(value, &skin.themed));
  for (const ColourKey& k : kColourKeys)
    if (ini.Find(kColoursSection, k.key, &value)) take(ParseColour(value, &(skin.*k.member)));
  if (ini.Find(kFontSection, "Face", &value)) {
    bool ok = ValidFace(value);
    if (ok) skin.font.face = value;
    take(ok);
  }
  if (ini.Find(kFontSection, "Size", &value)) {
    int points = 0;
    bool ok = ParseSmallNumber(value, 2, &points) && points >= kMinFontPoints && points <= kMaxFontPoints;
    if (ok) skin.font.points = points;
    take(ok);
  }
  if (ini.Find(kFontSection, "Bold", &value)) take(ParseFlag(value, &skin.font.bold));
  return result;
}

std::string WriteSkin(const Skin& skin) {
  std::string out;
  // Names are quoted, so that the reader (which strips one pair of quotes)
  // gives back exactly what was written.
  out += "[Skin]\r\nName=\"" + skin.name + "\"\r\nThemed=" + (skin.themed ? "1" : "0") + "\r\n\r\n[Colours]\r\n";
  char line[64];
  for (const ColourKey& k : kColourKeys) {
    const Colour& c = skin.*k.member;
    snprintf(line, sizeof line, "%s=#%02X%02X%02X\r\n", k.key, c.r, c.g, c.b);
    out += line;
  }
  out += "\r\n[Font]\r\nFace=\"" + skin.font.face + "\"\r\nSize=" + std::to_string(skin.font.points) +
         "\r\nBold=" + (skin.font.bold ? "1" : "0") + "\r\n";
  return out;
}

}  // namespace skins
