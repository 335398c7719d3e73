#include "text.h"

#include <commctrl.h>

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

namespace {
// Longest list-view cell text read back; longer texts are cut.
constexpr int kMaxCellChars = 4096;
}  // namespace

int AddListItem(HWND listBox, std::string_view text1251) {
  return (int)SendMessageW(listBox, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(sv::Wide(text1251).c_str()));
}

int AddComboItem(HWND comboBox, std::string_view text1251) {
  return (int)SendMessageW(comboBox, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(sv::Wide(text1251).c_str()));
}

std::string GetComboItem(HWND comboBox, int index) {
  LRESULT length = SendMessageW(comboBox, CB_GETLBTEXTLEN, index, 0);
  if (length == CB_ERR || length <= 0) return std::string();
  std::wstring buffer((size_t)length + 1, L'\0');
  SendMessageW(comboBox, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(&buffer[0]));
  buffer.resize(wcslen(buffer.c_str()));
  return sv::Narrow(buffer);
}

int InsertListViewRow(HWND listView, int row, std::string_view text1251) {
  std::wstring text = sv::Wide(text1251);
  LVITEMW item = {};
  item.mask = LVIF_TEXT;
  item.iItem = row;
  item.pszText = &text[0];
  return (int)SendMessageW(listView, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void SetListViewCell(HWND listView, int row, int column, std::string_view text1251) {
  std::wstring text = sv::Wide(text1251);
  LVITEMW item = {};
  item.iSubItem = column;
  item.pszText = &text[0];
  SendMessageW(listView, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
}

std::string GetListViewCell(HWND listView, int row, int column) {
  std::wstring buffer(kMaxCellChars, L'\0');
  LVITEMW item = {};
  item.iSubItem = column;
  item.pszText = &buffer[0];
  item.cchTextMax = kMaxCellChars;
  LRESULT got = SendMessageW(listView, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
  buffer.resize(got > 0 ? (size_t)got : 0);
  return sv::Narrow(buffer);
}

}  // namespace ui
