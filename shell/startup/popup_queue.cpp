#include "popup_queue.h"

namespace shell {

PopupQueue::Action PopupQueue::Add(const std::string& text, const std::string& title, const std::string& pluginKey) {
  if (showing_ && title != title_) {
    queue_.push_back({text, title, pluginKey, false});
    ++queued_;
    return Action{};
  }
  return ShowInGroup({text, title, pluginKey, false});
}

PopupQueue::Action PopupQueue::ShowInGroup(const PopupNotice& notice) {
  text_ = text_.empty() ? notice.text : notice.text + kPopupTextSeparator + text_;
  if (!showing_) {
    // While a group is on screen the plugin key of its first notice stays.
    title_ = notice.title;
    pluginKey_ = notice.pluginKey;
    showing_ = true;
    alpha_ = 0;
  }
  phase_ = Phase::kFadeIn;
  Action a;
  a.show = true;
  a.place = true;
  a.timerMs = kPopupFadeMs;
  return a;
}

PopupQueue::Action PopupQueue::Tick() {
  Action a;
  if (phase_ == Phase::kFadeIn) {
    if (alpha_ < kPopupAlphaMax) {
      alpha_ += kPopupAlphaStep;
      a.place = true;
    }
    if (alpha_ >= kPopupAlphaMax) {
      phase_ = Phase::kHoldOrFadeOut;
      a.timerMs = kPopupHoldMs;
    } else {
      a.timerMs = kPopupFadeMs;
    }
    return a;
  }
  if (alpha_ <= 0) return Hide();
  alpha_ -= kPopupAlphaStep;
  a.place = true;
  a.timerMs = kPopupFadeMs;
  return a;
}

PopupQueue::Action PopupQueue::Hide() {
  Action a;
  a.hide = true;
  showing_ = false;
  text_.clear();
  if (queued_ <= 0) return a;
  title_.clear();
  std::string next;
  bool found = false;
  for (PopupNotice& n : queue_) {
    if (n.shown) continue;
    if (!found) {
      next = n.title;
      found = true;
    }
    if (n.title != next) continue;
    Action shown = ShowInGroup(n);
    a.show = shown.show;
    a.place = shown.place;
    a.timerMs = shown.timerMs;
    n.shown = true;
    --queued_;
  }
  if (queued_ == 0) queue_.clear();
  return a;
}

}  // namespace shell
