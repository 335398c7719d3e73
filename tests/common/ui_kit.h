// The window-test kit: what a person does with a window, done through the
// window system, so that a test drives a window of its own process or of
// another one the same way. Texts are Windows-1251.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace uikit {

constexpr DWORD kAnyProcess = 0;
constexpr DWORD kDefaultWaitMs = 10000;

// A visible or hidden top-level window of `window_class` (null: any class)
// whose text equals `caption` (null: any text), in process `pid` (0: any).
HWND FindTopWindow(const wchar_t* window_class, const char* caption, DWORD pid = kAnyProcess);
// The same, polled until it is on screen (visible: a dialog becomes visible
// only after its initialisation) or `wait_ms` passed; null then.
HWND WaitTopWindow(const wchar_t* window_class, const char* caption, DWORD pid = kAnyProcess,
                   DWORD wait_ms = kDefaultWaitMs);
// Waits until `window` is gone (destroyed); false when it still exists.
bool WaitGone(HWND window, DWORD wait_ms = kDefaultWaitMs);

// A descendant of `parent` whose text equals `text` (class null: any class).
HWND FindChild(HWND parent, const char* text, const wchar_t* window_class = nullptr);
// The edit field that a label with `label` text names: the nearest edit to
// the label's right on its line, or else below it.
HWND FindEditByLabel(HWND parent, const char* label);

std::string Text(HWND window);
void SetText(HWND window, const std::string& text);
std::wstring ClassOf(HWND window);
// The client area's size in pixels.
SIZE ClientSize(HWND window);

inline HWND FindChild(HWND parent, const std::string& text, const wchar_t* window_class = nullptr) {
  return FindChild(parent, text.c_str(), window_class);
}

// Presses the button (or check box) whose caption is `caption`; false when
// there is none.
bool Press(HWND parent, const char* caption);
inline bool Press(HWND parent, const std::string& caption) { return Press(parent, caption.c_str()); }
// A key press on `window` as the keyboard would deliver it (posted, so that
// the window's message loop and dialog navigation see it).
void PressKey(HWND window, UINT virtual_key);

// The platform's message box (class #32770) of a process: its caption and text.
struct MessageBoxSeen {
  HWND window = nullptr;
  std::string caption;
  std::string text;
};
// Closes every top-level window of `pid` that is still open (a dialog that a
// failed test left behind would hold the run in its modal loop); returns how
// many it closed.
int CloseLeftovers(DWORD pid, const wchar_t* window_class);

// Waits for a message box of `pid` (0: any); window null when none appeared.
MessageBoxSeen WaitMessageBox(DWORD pid = kAnyProcess, DWORD wait_ms = kDefaultWaitMs);
// Presses IDOK, IDCANCEL, IDYES or IDNO of a message box.
bool Answer(const MessageBoxSeen& box, int button_id);

// The rows of a list view, also of another process: the texts of columns
// 0 to columns-1 of every row.
std::vector<std::vector<std::string>> ListViewRows(HWND listView, int columns = 1);
// Selects and focuses one row, as a click on it does (the list tells its
// owner through LVN_ITEMCHANGED); also in another process.
bool SelectListViewRow(HWND listView, int row);

// A picture of the whole display in a PNG file (a Unix path), taken by
// ImageMagick's import; false when it could not be taken.
bool CaptureScreen(const std::string& pngUnixPath);

// Runs the calling thread's messages (its windows' timers and posted
// messages) until `condition` holds or `ms` passed; false then. The time is
// also watched between messages, so that windows which never let the queue
// run empty (a repaint that asks for the next one) end the wait as well.
template <class Condition>
bool PumpUntil(Condition condition, DWORD ms = kDefaultWaitMs) {
  DWORD start = GetTickCount();
  for (;;) {
    MSG message;
    while (GetTickCount() - start <= ms && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    if (condition()) return true;
    if (GetTickCount() - start > ms) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

}  // namespace uikit
