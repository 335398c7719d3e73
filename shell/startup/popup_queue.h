// What the popup notice shows and when: the group of notices on screen (one
// title, texts newest first), the notices that wait for another title, and
// the fade steps. Plain logic; the window only carries out what it says.
#pragma once

#include <string>
#include <vector>

namespace shell {

constexpr int kPopupAlphaMax = 240;
constexpr int kPopupAlphaStep = 10;
constexpr unsigned kPopupFadeMs = 50;
constexpr unsigned kPopupHoldMs = 3000;
// Notices of one group are separated by one carriage return, newest on top.
constexpr char kPopupTextSeparator = '\r';

struct PopupNotice {
  std::string text, title, pluginKey;
  bool shown = false;
};

class PopupQueue {
 public:
  // What the window has to do after a call.
  struct Action {
    bool show = false;        // show (without activating) and place the window
    bool place = false;       // re-place it with the new alpha level
    bool hide = false;        // hide it
    unsigned timerMs = 0;     // (re)start the fade timer with this interval; 0: stopped
  };

  // A new notice: joins the group on screen, starts a group, or waits.
  Action Add(const std::string& text, const std::string& title, const std::string& pluginKey);
  // One fade timer step.
  Action Tick();
  // Ends the group on screen and shows the next waiting title, if any.
  Action Hide();

  bool Showing() const { return showing_; }
  const std::string& Title() const { return title_; }
  const std::string& Text() const { return text_; }
  const std::string& PluginKey() const { return pluginKey_; }
  int Alpha() const { return alpha_; }
  int QueuedCount() const { return queued_; }

 private:
  enum class Phase { kFadeIn, kHoldOrFadeOut };
  Action ShowInGroup(const PopupNotice& notice);

  bool showing_ = false;
  std::string title_, text_, pluginKey_;
  int alpha_ = 0;
  Phase phase_ = Phase::kFadeIn;
  std::vector<PopupNotice> queue_;
  int queued_ = 0;
};

}  // namespace shell
