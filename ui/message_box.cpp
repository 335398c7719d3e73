#include "message_box.h"

#include <string>

#include "app.h"
#include "wide.h"

namespace ui {

int MessageBox1251(HWND owner, std::string_view text, std::string_view caption, UINT flags) {
  std::string title = caption.empty() ? ApplicationTitle() : std::string(caption);
  return MessageBoxW(owner, sv::Wide(text).c_str(), sv::Wide(title).c_str(), flags);
}

}  // namespace ui
