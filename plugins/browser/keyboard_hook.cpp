#include "keyboard_hook.h"

#include "guard.h"

namespace svbrowser {

namespace {

// All browser windows run on the one UI thread of this module.
HHOOK g_hook = nullptr;
KeyHookClient* g_owner = nullptr;

bool IsPageKey(WPARAM key) {
  return key == VK_RETURN || key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN;
}

void RouteKey(MSG* message) {
  if (!g_owner || (message->message != WM_KEYDOWN && message->message != WM_KEYUP) || !IsPageKey(message->wParam))
    return;
  HWND control = g_owner->DialogKeyWindow();
  // Keys typed into the shell's own fields stay there.
  if (!control || (message->hwnd != control && !IsChild(control, message->hwnd))) return;
  if (message->message == WM_KEYDOWN && message->wParam == VK_RETURN) TranslateMessage(message);
  // The dialog-key handling delivers the key itself; the loop must not again.
  if (IsDialogMessageW(control, message)) message->message = WM_NULL;
}

LRESULT CALLBACK GetMessageHook(int code, WPARAM wparam, LPARAM lparam) {
  if (code == HC_ACTION && wparam == PM_REMOVE && lparam)
    sv::GuardVoid([&] { RouteKey(reinterpret_cast<MSG*>(lparam)); });
  return CallNextHookEx(g_hook, code, wparam, lparam);
}

}  // namespace

void TakeKeyHook(KeyHookClient* client) {
  if (!g_hook) {
    g_hook = SetWindowsHookExW(WH_GETMESSAGE, GetMessageHook, nullptr, GetCurrentThreadId());
    if (!g_hook) return;
  }
  g_owner = client;
}

void ReleaseKeyHook(KeyHookClient* client) {
  if (g_owner != client || !g_hook) return;
  UnhookWindowsHookEx(g_hook);
  g_hook = nullptr;
  g_owner = nullptr;
}

bool OwnsKeyHook(const KeyHookClient* client) { return g_hook && g_owner == client; }

}  // namespace svbrowser
