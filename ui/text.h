// Windows-1251 text in and out of controls: every conversion to UTF-16 for a
// window happens here, once, before the W function is called.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace ui {

std::string GetText(HWND window);
void SetText(HWND window, std::string_view text1251);
std::string GetItemText(HWND dialog, int id);
void SetItemText(HWND dialog, int id, std::string_view text1251);

// List box and combo box items; the index of the new item, or -1.
int AddListItem(HWND listBox, std::string_view text1251);
int AddComboItem(HWND comboBox, std::string_view text1251);
std::string GetComboItem(HWND comboBox, int index);

// List-view cells (column 0 is the item itself).
int InsertListViewRow(HWND listView, int row, std::string_view text1251);
void SetListViewCell(HWND listView, int row, int column, std::string_view text1251);
std::string GetListViewCell(HWND listView, int row, int column);

}  // namespace ui
