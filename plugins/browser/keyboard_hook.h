// While a browser window is active it is the application's message hook:
// Enter and the arrow keys meant for the page go through the platform's
// dialog-key handling of the control, so that they act inside the page
// (links, form fields, scrolling) instead of in the shell. One hook per
// thread; a window removes it only while it is still the owner.
#pragma once

#include <windows.h>

namespace svbrowser {

class KeyHookClient {
 public:
  // The control's window, or null while there is none.
  virtual HWND DialogKeyWindow() = 0;

 protected:
  ~KeyHookClient() = default;
};

// Makes `client` the hook's owner, installing the hook if there is none.
void TakeKeyHook(KeyHookClient* client);
// Removes the hook if `client` still owns it.
void ReleaseKeyHook(KeyHookClient* client);
// Whether `client` owns the hook now.
bool OwnsKeyHook(const KeyHookClient* client);

}  // namespace svbrowser
