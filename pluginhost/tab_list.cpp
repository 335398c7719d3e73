#include "tab_list.h"

namespace plugins {

int TabList::Find(const std::string& key) const {
  for (size_t i = 0; i < tabs_.size(); ++i) {
    if (tabs_[i].key == key) return (int)i;
  }
  return kNoTab;
}

int TabList::Add(PluginTab tab) {
  tabs_.push_back(std::move(tab));
  return (int)tabs_.size() - 1;
}

RemovedTab TabList::RemoveAt(int position) {
  RemovedTab removed;
  if (position < 0 || position >= Count()) return removed;
  removed.tab = std::move(tabs_[(size_t)position]);
  tabs_.erase(tabs_.begin() + position);

  if (removed.tab.image != kNoImage) {
    for (size_t i = 0; i < tabs_.size(); ++i) {
      if (tabs_[i].image > removed.tab.image) {
        --tabs_[i].image;
        removed.renumbered.push_back((int)i);
      }
    }
  }

  if (tabs_.empty()) {
    current_ = kNoTab;
  } else if (current_ > position) {
    --current_;
  } else if (current_ == position && current_ >= Count()) {
    current_ = Count() - 1;
  }
  return removed;
}

int TabList::ActivePosition(const std::function<bool(WindowRef)>& is_active,
                            const std::function<bool(WindowRef)>& is_mdi_child) const {
  int active_mdi_child = kNoTab;
  for (size_t i = 0; i < tabs_.size(); ++i) {
    if (!is_active(tabs_[i].window)) continue;
    if (!is_mdi_child(tabs_[i].window)) return (int)i;
    if (active_mdi_child == kNoTab) active_mdi_child = (int)i;
  }
  if (active_mdi_child != kNoTab) return active_mdi_child;
  return current_ >= 0 && current_ < Count() ? current_ : kNoTab;
}

}  // namespace plugins
