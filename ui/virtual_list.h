// A virtual (owner-data) list view: rows are produced on demand from the
// caller's data, and the row count is set with one message.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>

namespace ui {

class VirtualList {
 public:
  // The 1251 text of a cell.
  using CellText = std::function<std::string(int row, int column)>;
  // The image index of a row (-1: none).
  using RowImage = std::function<int(int row)>;

  explicit VirtualList(HWND listView = nullptr) : listView_(listView) {}
  void Attach(HWND listView) { listView_ = listView; }
  HWND Handle() const { return listView_; }
  void SetSource(CellText text, RowImage image = nullptr) {
    text_ = std::move(text);
    image_ = std::move(image);
  }
  // Sets the row count and redraws the rows.
  void SetRowCount(int rows);
  // Answers LVN_GETDISPINFOW of this list; true when it was this list's.
  bool OnNotify(const NMHDR* header);

 private:
  HWND listView_;
  CellText text_;
  RowImage image_;
  std::wstring cell_;  // the text handed out last; lives until the next request
};

}  // namespace ui
