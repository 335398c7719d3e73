// The platform's web browser control in a window of ours: a small OLE
// container (client site, in-place site and frame) that creates the control,
// places it, and hands its navigation events to the window. Every call into
// the control ignores the control's failures, so a page that misbehaves can
// never take the window down.
#pragma once

#include <windows.h>

#include <string>

namespace svbrowser {

// What the window hears from the control.
class BrowserEvents {
 public:
  virtual void OnBeforeNavigate() = 0;
  virtual void OnDownloadComplete() = 0;
  // A top-level document finished loading; `url` is the address it came from.
  virtual void OnDocumentComplete(const std::string& url1251) = 0;
  // The control's history changed whether back or forward can move.
  virtual void OnHistoryState(bool back, bool enabled) = 0;

 protected:
  ~BrowserEvents() = default;
};

class ContainerSite;

class BrowserHost {
 public:
  BrowserHost() = default;
  ~BrowserHost() { Destroy(); }
  BrowserHost(const BrowserHost&) = delete;
  BrowserHost& operator=(const BrowserHost&) = delete;

  // Creates the control inside `parent` over `area` (client coordinates).
  // False when the platform has no working control (its class is not
  // registered, or the HTML engine it needs is missing): nothing is left.
  bool Create(HWND parent, const RECT& area, BrowserEvents* events);
  // Stops the control, disconnects its events and lets it go.
  void Destroy();
  bool Available() const;

  void Move(const RECT& area);
  void Navigate(const std::string& url1251);
  void GoBack();
  void GoForward();
  void Stop();
  void Focus();

  // The document's title and own address; empty when they cannot be read.
  std::string DocumentTitle();
  std::string DocumentUrl();
  // Sets the style property border of the document's body to "none".
  void ClearBodyBorder();
  // Replaces the document's content with `html1251` through the document
  // object; false when the document object cannot be used.
  bool WriteDocument(const std::string& html1251);

  // The control's own window (for the platform's dialog-key handling), or null.
  HWND ControlWindow() const;

 private:
  ContainerSite* site_ = nullptr;  // holds the control; reference-counted
  bool oleStarted_ = false;
};

}  // namespace svbrowser
