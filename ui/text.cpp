#include "text.h"

#include "wide.h"

namespace ui {

std::string GetText(HWND window) {
  int length = GetWindowTextLengthW(window);
  if (length <= 0) return std::string();
  std::wstring buffer((size_t)length + 1, L'\0');
  int got = GetWindowTextW(window, &buffer[0], length + 1);
  buffer.resize(got > 0 ? (size_t)got : 0);
  return sv::Narrow(buffer);
}

void SetText(HWND window, std::string_view text1251) { SetWindowTextW(window, sv::Wide(text1251).c_str()); }

std::string GetItemText(HWND dialog, int id) { return GetText(GetDlgItem(dialog, id)); }

void SetItemText(HWND dialog, int id, std::string_view text1251) { SetText(GetDlgItem(dialog, id), text1251); }

}  // namespace ui
