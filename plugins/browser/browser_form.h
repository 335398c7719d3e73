// The browser window (class TSVBrowserForm), an MDI child of the shell's
// main window: a toolbar (back, forward, refresh, stop, home, close), the
// loading indicator and the platform's web browser control showing the start
// page of one plugin key. Where the platform has no working control the
// window still opens, with its toolbar and a plain note in place of the page.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "browser_host.h"
#include "keyboard_hook.h"
#include "status_panel.h"
#include "win_handles.h"
#include "window.h"

namespace svbrowser {

constexpr wchar_t kBrowserFormClass[] = L"TSVBrowserForm";

class BrowserForm : public ui::Window, private BrowserEvents, private KeyHookClient {
 public:
  // Creates the window on `mdiClient` and starts it on the key's start page;
  // the object deletes itself when its window is destroyed. Null when no
  // window could be made.
  static HWND Open(HWND mdiClient, HWND application, const std::string& pluginKey);

 private:
  BrowserForm(HWND application, std::string pluginKey)
      : application_(application), pluginKey_(std::move(pluginKey)) {}
  ~BrowserForm() override = default;

  bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) override;
  LRESULT DefaultProcedure(UINT message, WPARAM wparam, LPARAM lparam) override {
    return DefMDIChildProcW(Handle(), message, wparam, lparam);
  }
  void OnFinalMessage() override { delete this; }

  void OnCreate();
  void CreateToolbar();
  void Start();
  void LoadIcon();
  void Layout();
  void OnPaint();
  RECT PageArea() const;
  void OnCommand(int id);
  bool OnNotify(NMHDR* header, LRESULT* result);
  void OnActivate(bool active);
  void OnDestroy();
  void EnableButton(int id, bool enabled);

  void Navigate(const std::string& url);
  void StopLoading();
  void ShowConnectionError();
  // Shows `html` in the control: through its document, else from a file.
  void WritePage(const std::string& html, bool wrap);

  // BrowserEvents
  void OnBeforeNavigate() override;
  void OnDownloadComplete() override;
  void OnDocumentComplete(const std::string& url) override;
  void OnHistoryState(bool back, bool enabled) override;
  // KeyHookClient
  HWND DialogKeyWindow() override { return host_.ControlWindow(); }

  HWND application_;
  std::string pluginKey_;
  std::string startUrl_, currentUrl_, topic_;
  std::string writtenPageUrl_;    // the temporary page last shown, if any
  bool beforeNavigateOn_ = false; // off during the first navigation
  bool writingPage_ = false;

  BrowserHost host_;
  StatusPanel status_;
  HWND toolbar_ = nullptr, logo_ = nullptr, missing_ = nullptr, missingUrl_ = nullptr;
  HIMAGELIST toolPictures_ = nullptr;
  sv::Icon icon_;
  sv::GdiObject<HFONT> font_, boldFont_;
};

}  // namespace svbrowser
