#include "plugin_host.h"

#include "plugin_texts.h"

namespace plugins {

int PluginHost::AddPlugin(const std::string& key) {
  if (tabs_.Find(key) != kNoTab) {
    Activate(key);
    return 0;
  }
  if (!platform_.AccessGranted(key)) return 0;
  // A plugin that failed to open (its box has been shown) is not reported as
  // opened: the shell would hide its plugin list with nothing in its place.
  return Open(key) ? 1 : 0;
}

bool PluginHost::Open(const std::string& key) {
  const std::string library = platform_.ReadSetting(key, kLibraryKey);
  if (library.empty()) return false;
  const std::string caption = DisplayName(platform_.ReadSetting(key, kNameKey));
  OpenedPlugin opened = IsActiveXLibrary(library)
                            ? platform_.OpenActiveX(key, library, platform_.ReadSetting(key, kGuidKey), caption)
                            : platform_.OpenNative(key, library, caption);
  if (!opened.window) return false;
  // A box shown meanwhile runs a message loop, in which the same key may have
  // been opened; one key never holds two tabs.
  if (tabs_.Find(key) != kNoTab) {
    platform_.DestroyPluginWindow(opened.window);
    if (opened.module) platform_.FreePluginLibrary(opened.module);
    Activate(key);
    return false;
  }
  AddTab(key, caption, opened);
  return true;
}

void PluginHost::AddTab(const std::string& key, const std::string& caption, const OpenedPlugin& opened) {
  if (bar_ == TabBarKind::kNone && platform_.CreateTabBar(nullptr, false)) bar_ = TabBarKind::kOnDemand;
  PluginTab tab;
  tab.key = key;
  tab.caption = caption;
  tab.module = opened.module;
  tab.window = opened.window;
  tab.image = platform_.AppendTab(caption, opened.window);
  int position = tabs_.Add(std::move(tab));
  platform_.ShowPluginWindow(opened.window);
  tabs_.SetCurrent(position);
  platform_.SelectTab(position);
}

void PluginHost::Activate(const std::string& key) {
  int position = tabs_.Find(key);
  if (position == kNoTab) return;
  if (tabs_.Current() != position) {
    tabs_.SetCurrent(position);
    platform_.SelectTab(position);
  }
  platform_.ShowPluginWindow(tabs_.At(position).window);
}

void PluginHost::OnTabSelected(int position) {
  if (position < 0 || position >= tabs_.Count()) return;
  Activate(tabs_.At(position).key);
}

void PluginHost::Close(const std::string& key) {
  int position = tabs_.Find(key);
  if (position != kNoTab) CloseAt(position);
}

void PluginHost::CloseAt(int position) {
  // The record leaves the list first: destroying the window activates another
  // one, and whatever that triggers must not find a half-closed tab.
  RemovedTab removed = tabs_.RemoveAt(position);
  // The window runs code of the library: it goes before the library does.
  if (removed.tab.window) platform_.DestroyPluginWindow(removed.tab.window);
  if (removed.tab.module) platform_.FreePluginLibrary(removed.tab.module);
  platform_.DeleteTab(position, removed.tab.image);
  for (int renumbered : removed.renumbered) platform_.SetTabImage(renumbered, tabs_.At(renumbered).image);
  if (tabs_.Current() != kNoTab) platform_.SelectTab(tabs_.Current());

  if (tabs_.Empty() && bar_ == TabBarKind::kOnDemand) {
    platform_.DestroyTabBar();
    bar_ = TabBarKind::kNone;
  }
}

int PluginHost::ActivePosition() const {
  return tabs_.ActivePosition([&](WindowRef w) { return platform_.IsActiveWindow(w); },
                              [&](WindowRef w) { return platform_.IsMdiChild(w); });
}

int PluginHost::CloseActivePlugin() {
  int position = ActivePosition();
  if (position == kNoTab) return 0;
  CloseAt(position);
  return 1;
}

std::string PluginHost::ActiveKey() const {
  int position = ActivePosition();
  return position == kNoTab ? std::string() : tabs_.At(position).key;
}

WindowRef PluginHost::ActiveWindow() const {
  int position = ActivePosition();
  return position == kNoTab ? nullptr : tabs_.At(position).window;
}

void PluginHost::UpdateActivePlugin() {
  std::string key = ActiveKey();
  if (!key.empty()) Activate(key);
}

void PluginHost::CreateTabBar(WindowRef parent) {
  if (bar_ != TabBarKind::kNone) return;
  if (platform_.CreateTabBar(parent, true)) bar_ = TabBarKind::kWithButton;
}

void PluginHost::FreeTabBar() {
  while (!tabs_.Empty()) CloseAt(tabs_.Count() - 1);
  if (bar_ != TabBarKind::kNone) platform_.DestroyTabBar();
  bar_ = TabBarKind::kNone;
}

}  // namespace plugins
