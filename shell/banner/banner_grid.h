// The banner grid: the right panel of the main window showing the banner
// picture of the active plugin (or of the program), whose 10 by 10 pixel
// squares carry their own hint and link. Banners live in "Solvika.com" of
// the program folder; one that is missing or not the version the server
// offers is downloaded from "client/com/".
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "banner_logic.h"
#include "net_class.h"
#include "win_handles.h"
#include "window.h"

namespace shell {

constexpr wchar_t kBannerPanelClass[] = L"TSVBannerPanel";
constexpr wchar_t kBannerHintClass[] = L"TSVBannerHint";
constexpr unsigned kBannerHintHideMs = 250;
constexpr int kBannerHintBelowCursor = 20;
constexpr int32_t kBannerDownloadTimeoutMs = 30000;
constexpr char kBannerDownloadTag[] = "Solvika RGrid";

class BannerHintWindow : public ui::Window {
 public:
  bool Create(HWND owner);
  void ShowAt(const std::string& text1251, POINT cursor);
  void Hide();

 private:
  bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) override;
  std::wstring text_;
  HFONT font_ = nullptr;
};

class BannerGrid : public ui::Window {
 public:
  // `exiting` tells whether the program is on its way out.
  explicit BannerGrid(std::function<bool()> exiting) : exiting_(std::move(exiting)) {}
  ~BannerGrid() override;

  // A child of the main window, which must be in front for hints to show.
  bool Create(HWND parent);
  // Shows the banner of `key` (a plugin key or name), downloading it when
  // it is not current and `download` is allowed.
  void Show(const std::string& key, bool download);
  // The panel's outer width for the picture shown: its client area is the
  // grid's width.
  int PanelWidth() const { return panelWidth_; }
  // Frees a running download (at exit).
  void StopDownload() { download_.reset(); }
  const std::string& CurrentName() const { return current_; }
  const BannerDescription& Description() const { return description_; }
  std::function<void()> onWidthChanged;

 private:
  bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) override;
  bool LoadCurrent();
  void StartDownload(const std::string& name);
  void OnDownloadDone();
  void OnMouseMove(int x, int y);
  void OnClick(int x, int y);
  void Paint();
  bool InsidePicture(int x, int y) const;

  std::function<bool()> exiting_;
  HWND topLevel_ = nullptr;
  std::string current_;
  std::string pending_;
  BannerDescription description_;
  sv::GdiObject<HBITMAP> picture_;
  SIZE pictureSize_{0, 0};
  bool pictureEnabled_ = false;
  int hovered_ = 0;
  int panelWidth_ = 0;
  std::unique_ptr<TTovrinNetDownload> download_;
  BannerHintWindow hint_;
};

}  // namespace shell
