// The .skn reader. Input: the skin file text.
//
// Properties: every value the reader keeps is within its bounds (font size,
// face length), every present value is counted once as read or rejected,
// and a skin written out reads back to the same skin with nothing rejected.
#include <stddef.h>
#include <stdint.h>

#include "fuzz_support.h"
#include "skin_file.h"

namespace {

bool Same(const skins::Skin& a, const skins::Skin& b) {
  return a.name == b.name && a.themed == b.themed && a.window == b.window && a.windowText == b.windowText &&
         a.panel == b.panel && a.panelText == b.panelText && a.headerBar == b.headerBar &&
         a.headerText == b.headerText && a.workspace == b.workspace && a.listBackground == b.listBackground &&
         a.listText == b.listText && a.editBackground == b.editBackground && a.editText == b.editText &&
         a.menuBackground == b.menuBackground && a.menuText == b.menuText && a.menuHighlight == b.menuHighlight &&
         a.menuHighlightText == b.menuHighlightText && a.font == b.font;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const skins::SkinReadResult r = skins::ReadSkin(std::string_view((const char*)data, size));
  FUZZ_CHECK(r.skin.font.points >= skins::kMinFontPoints && r.skin.font.points <= skins::kMaxFontPoints);
  FUZZ_CHECK(!r.skin.font.face.empty() && r.skin.font.face.size() <= skins::kMaxFaceBytes);
  FUZZ_CHECK(r.valuesRead >= 0 && r.valuesRejected >= 0 && r.valuesRead + r.valuesRejected <= 20);

  const skins::SkinReadResult again = skins::ReadSkin(skins::WriteSkin(r.skin));
  FUZZ_CHECK(again.valuesRejected == 0);
  FUZZ_CHECK(Same(r.skin, again.skin));
  return 0;
}
