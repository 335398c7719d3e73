#include "virtual_list.h"

#include "wide.h"

namespace ui {

void VirtualList::SetRowCount(int rows) {
  if (!listView_) return;
  SendMessageW(listView_, LVM_SETITEMCOUNT, rows > 0 ? rows : 0, LVSICF_NOSCROLL);
  InvalidateRect(listView_, nullptr, TRUE);
}

bool VirtualList::OnNotify(const NMHDR* header) {
  if (!header || header->hwndFrom != listView_ || header->code != LVN_GETDISPINFOW) return false;
  auto* info = reinterpret_cast<NMLVDISPINFOW*>(const_cast<NMHDR*>(header));
  LVITEMW& item = info->item;
  if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
    cell_ = text_ ? sv::Wide(text_(item.iItem, item.iSubItem)) : std::wstring();
    lstrcpynW(item.pszText, cell_.c_str(), item.cchTextMax);
  }
  if ((item.mask & LVIF_IMAGE) && item.iSubItem == 0) item.iImage = image_ ? image_(item.iItem) : -1;
  return true;
}

}  // namespace ui
