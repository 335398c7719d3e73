// The open plugins in tab order, as plain records: which key is open, which
// tab is current, which icon each tab shows, and which plugin counts as the
// active one. The windows and libraries are opaque here; the host's platform
// part gives them meaning.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace plugins {

using WindowRef = void*;
using ModuleRef = void*;

constexpr int kNoTab = -1;
constexpr int kNoImage = -1;

struct PluginTab {
  std::string key;
  std::string caption;
  ModuleRef module = nullptr;  // the native plugin's library; null for ActiveX plugins
  WindowRef window = nullptr;  // owned by the tab
  int image = kNoImage;        // index of its icon in the tab bar's image list
};

// What a tab's removal changed: the tab itself and the positions (after the
// removal) of the tabs whose image index was lowered.
struct RemovedTab {
  PluginTab tab;
  std::vector<int> renumbered;
};

class TabList {
 public:
  int Count() const { return (int)tabs_.size(); }
  bool Empty() const { return tabs_.empty(); }
  const PluginTab& At(int position) const { return tabs_.at((size_t)position); }

  // Position of the tab with exactly this key (case-sensitive), or kNoTab.
  int Find(const std::string& key) const;
  // Appends a tab; returns its position.
  int Add(PluginTab tab);
  // Takes the tab at `position` out. The icon leaves the image list with it,
  // so every tab whose image index was greater is lowered by one to keep its
  // own icon. The current tab follows its tab; when the current tab itself
  // goes, the tab that takes its place (or the new last one) becomes current.
  RemovedTab RemoveAt(int position);

  int Current() const { return current_; }
  void SetCurrent(int position) { current_ = position; }

  // The active plugin: the first tab whose window is active and not an MDI
  // child; else the first whose window is active and is an MDI child; else
  // the current tab; kNoTab without tabs.
  int ActivePosition(const std::function<bool(WindowRef)>& is_active,
                     const std::function<bool(WindowRef)>& is_mdi_child) const;

 private:
  std::vector<PluginTab> tabs_;
  int current_ = kNoTab;
};

}  // namespace plugins
