// The .skn reader: what a skin author may get wrong, and the shipped skins.
#include <gtest/gtest.h>

#include <string>

#include "file_io.h"
#include "skin_file.h"
#include "skin_rules.h"

namespace {

using skins::Colour;
using skins::ReadSkin;

Colour C(int r, int g, int b) {
  Colour c;
  c.r = (uint8_t)r;
  c.g = (uint8_t)g;
  c.b = (uint8_t)b;
  return c;
}

TEST(SkinFile, ColourForms) {
  Colour c;
  EXPECT_TRUE(skins::ParseColour("#1a2B3c", &c));
  EXPECT_EQ(C(0x1a, 0x2b, 0x3c), c);
  EXPECT_TRUE(skins::ParseColour(" 255 , 0,7 ", &c));
  EXPECT_EQ(C(255, 0, 7), c);
  for (const char* bad : {"", "#12345", "#1234567", "#12345G", "1,2", "1,2,3,4", "256,0,0", "-1,0,0", "1,,3",
                          "0x10,0,0", "red", "1.5,2,3", "0001,2,3"})
    EXPECT_FALSE(skins::ParseColour(bad, &c)) << bad;
}

TEST(SkinFile, MissingAndBadValuesKeepTheDefaults) {
  const skins::Skin def = skins::DefaultSkin();
  auto empty = ReadSkin("");
  EXPECT_EQ(0, empty.valuesRead);
  EXPECT_EQ(def.window, empty.skin.window);
  EXPECT_EQ(def.font, empty.skin.font);

  auto r = ReadSkin(
      "[colours]\r\nwindow = #102030\r\nPanel=300,1,1\r\nListText=nonsense\r\n"
      "[Font]\nSize=99\nBold=2\nFace=\n");
  EXPECT_EQ(C(0x10, 0x20, 0x30), r.skin.window) << "names match whatever their case";
  EXPECT_EQ(def.panel, r.skin.panel);
  EXPECT_EQ(def.listText, r.skin.listText);
  EXPECT_EQ(def.font, r.skin.font);
  EXPECT_EQ(1, r.valuesRead);
  EXPECT_EQ(5, r.valuesRejected);
  EXPECT_EQ(def.headerBar, r.skin.headerBar) << "absent keys are not counted";
}

TEST(SkinFile, CommentsAndOtherSectionsAreNotValues) {
  auto r = ReadSkin(
      "; Window=#FF0000\r\n"
      "[Colours]\r\n"
      ";Window=#00FF00\r\n"
      "# a note\r\n"
      "MenuText=#0000FF\r\n"
      "[Other]\r\n"
      "Window=#123456\r\n");
  EXPECT_EQ(skins::DefaultSkin().window, r.skin.window);
  EXPECT_EQ(C(0, 0, 255), r.skin.menuText);
}

TEST(SkinFile, RussianFaceAndNameIn1251) {
  // "Ночь", face "Шрифт Тест"
  auto r = ReadSkin("[Skin]\r\nName=\xCD\xEE\xF7\xFC\r\n[Font]\r\nFace=\xD8\xF0\xE8\xF4\xF2 \xD2\xE5\xF1\xF2\r\nSize=10\r\nBold=1\r\n");
  EXPECT_EQ("\xCD\xEE\xF7\xFC", r.skin.name);
  EXPECT_EQ("\xD8\xF0\xE8\xF4\xF2 \xD2\xE5\xF1\xF2", r.skin.font.face);
  EXPECT_EQ(10, r.skin.font.points);
  EXPECT_TRUE(r.skin.font.bold);
  // A face the platform could not hold is refused rather than cut.
  auto longFace = ReadSkin("[Font]\r\nFace=" + std::string(32, 'A') + "\r\n");
  EXPECT_EQ(skins::DefaultSkin().font.face, longFace.skin.font.face);
}

TEST(SkinFile, WrittenSkinReadsBack) {
  skins::Skin s = ReadSkin("[Skin]\r\nName=  'quoted'  \r\nThemed=0\r\n[Colours]\r\nEditText=1,2,3\r\n").skin;
  s.font.face = "\xD8\xF0\xE8\xF4\xF2";
  auto again = ReadSkin(skins::WriteSkin(s));
  EXPECT_EQ(20, again.valuesRead);
  EXPECT_EQ(0, again.valuesRejected);
  EXPECT_EQ(s.name, again.skin.name);
  EXPECT_FALSE(again.skin.themed);
  EXPECT_EQ(C(1, 2, 3), again.skin.editText);
  EXPECT_EQ(s.font, again.skin.font);
}

TEST(SkinRules, ControlsTakeTheirOwnRoleOrTheirArea) {
  const skins::Skin s = skins::DefaultSkin();
  using skins::ControlKind;
  using skins::Role;
  EXPECT_EQ(s.headerText, skins::ControlColours(s, ControlKind::kStatic, Role::kAuto, Role::kHeaderBar).text);
  EXPECT_EQ(s.editBackground, skins::ControlColours(s, ControlKind::kEdit, Role::kAuto, Role::kPanel).back);
  EXPECT_EQ(s.panel, skins::ControlColours(s, ControlKind::kStatic, Role::kEdit, Role::kPanel).back)
      << "a read-only edit looks like its surroundings";
  EXPECT_EQ(s.headerBar, skins::ControlColours(s, ControlKind::kStatic, Role::kHeaderBar, Role::kWindow).back);
  EXPECT_EQ(Role::kWorkspace, skins::DefaultRole(L"MDIClient", false, false, true));
  EXPECT_EQ(Role::kAuto, skins::DefaultRole(L"BUTTON", false, false, true));
  EXPECT_EQ(Role::kPanel, skins::DefaultRole(L"TPanel", false, false, true));
  EXPECT_EQ(Role::kAuto, skins::DefaultRole(L"Shell Embedding", false, false, false))
      << "a window that paints itself is left alone";
  EXPECT_EQ(Role::kWindow, skins::DefaultRole(L"TPluginForm", false, true, false));
}

// The skins the program ships: both read without a rejected value, differ,
// and keep every text readable on its background.
int Luminance(Colour c) { return (299 * c.r + 587 * c.g + 114 * c.b) / 1000; }

TEST(SkinFile, ShippedSkinsAreCompleteAndReadable) {
  const std::string folder = sv::ProgramFolder() + "SVData\\SVSkins\\";
  std::string def, night;
  ASSERT_TRUE(sv::ReadWholeFile(folder + "LE4-DEFAULT.skn", &def));
  ASSERT_TRUE(sv::ReadWholeFile(folder + "\xCD\xEE\xF7\xFC.skn", &night));  // "Ночь.skn"
  for (const std::string* text : {&def, &night}) {
    auto r = ReadSkin(*text);
    EXPECT_EQ(20, r.valuesRead);
    EXPECT_EQ(0, r.valuesRejected);
    const skins::Skin& s = r.skin;
    const std::pair<Colour, Colour> pairs[] = {{s.window, s.windowText},         {s.panel, s.panelText},
                                               {s.headerBar, s.headerText},      {s.listBackground, s.listText},
                                               {s.editBackground, s.editText},   {s.menuBackground, s.menuText},
                                               {s.menuHighlight, s.menuHighlightText}};
    for (const auto& p : pairs) EXPECT_GE(abs(Luminance(p.first) - Luminance(p.second)), 100) << s.name;
  }
  EXPECT_EQ("\xCD\xEE\xF7\xFC", ReadSkin(night).skin.name) << "converted to 1251 by the build";
  EXPECT_LT(Luminance(ReadSkin(night).skin.window), Luminance(ReadSkin(def).skin.window));
}

}  // namespace
