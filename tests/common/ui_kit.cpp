#include "ui_kit.h"

#include <vector>

#include <commctrl.h>

#include "wide.h"
#include "win_handles.h"

namespace uikit {

namespace {

constexpr DWORD kPollMs = 50;
constexpr int kMessageBoxTextId = 0xFFFF;  // the static control holding a message box's text
constexpr UINT kSendTimeoutMs = 5000;

struct TopSearch {
  const wchar_t* window_class;
  const char* caption;
  DWORD pid;
  HWND found;
};

bool ClassIs(HWND window, const wchar_t* window_class) {
  return !window_class || ClassOf(window) == window_class;
}

BOOL CALLBACK MatchTop(HWND window, LPARAM param) {
  auto* s = reinterpret_cast<TopSearch*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (s->pid != kAnyProcess && pid != s->pid) return TRUE;
  if (!ClassIs(window, s->window_class)) return TRUE;
  if (s->caption && Text(window) != s->caption) return TRUE;
  s->found = window;
  return FALSE;
}

struct ChildSearch {
  const char* text;
  const wchar_t* window_class;
  HWND found;
};

BOOL CALLBACK MatchChild(HWND window, LPARAM param) {
  auto* s = reinterpret_cast<ChildSearch*>(param);
  if (!ClassIs(window, s->window_class)) return TRUE;
  if (s->text && Text(window) != s->text) return TRUE;
  s->found = window;
  return FALSE;
}

BOOL CALLBACK CollectChild(HWND window, LPARAM param) {
  reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
  return TRUE;
}

}  // namespace

HWND FindTopWindow(const wchar_t* window_class, const char* caption, DWORD pid) {
  TopSearch s = {window_class, caption, pid, nullptr};
  EnumWindows(MatchTop, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

HWND WaitTopWindow(const wchar_t* window_class, const char* caption, DWORD pid, DWORD wait_ms) {
  for (DWORD waited = 0;; waited += kPollMs) {
    HWND w = FindTopWindow(window_class, caption, pid);
    if (w && IsWindowVisible(w)) return w;
    if (waited >= wait_ms) return nullptr;
    Sleep(kPollMs);
  }
}

bool WaitGone(HWND window, DWORD wait_ms) {
  for (DWORD waited = 0; IsWindow(window); waited += kPollMs) {
    if (waited >= wait_ms) return false;
    Sleep(kPollMs);
  }
  return true;
}

HWND FindChild(HWND parent, const char* text, const wchar_t* window_class) {
  ChildSearch s = {text, window_class, nullptr};
  EnumChildWindows(parent, MatchChild, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

HWND FindEditByLabel(HWND parent, const char* label) {
  HWND label_window = FindChild(parent, label, L"Static");
  if (!label_window) return nullptr;
  RECT l = {};
  GetWindowRect(label_window, &l);
  std::vector<HWND> children;
  EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&children));
  HWND right = nullptr, below = nullptr;
  LONG right_distance = LONG_MAX, below_distance = LONG_MAX;
  for (HWND c : children) {
    if (ClassOf(c) != L"Edit") continue;
    RECT e = {};
    GetWindowRect(c, &e);
    bool same_line = e.top < l.bottom && e.bottom > l.top;
    if (same_line && e.left >= l.right - 1 && e.left - l.right < right_distance) {
      right = c, right_distance = e.left - l.right;
    } else if (e.top >= l.top && e.top - l.bottom < below_distance) {
      below = c, below_distance = e.top - l.bottom;
    }
  }
  return right ? right : below;
}

std::string Text(HWND window) {
  wchar_t buffer[4096] = {};
  DWORD_PTR got = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, sizeof(buffer) / sizeof(buffer[0]), reinterpret_cast<LPARAM>(buffer),
                      SMTO_ABORTIFHUNG, kSendTimeoutMs, &got);
  return sv::Narrow(std::wstring_view(buffer, got));
}

void SetText(HWND window, const std::string& text) {
  std::wstring wide = sv::Wide(text);
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()), SMTO_ABORTIFHUNG, kSendTimeoutMs,
                      &ignored);
}

std::wstring ClassOf(HWND window) {
  wchar_t name[256] = {};
  int n = GetClassNameW(window, name, (int)(sizeof(name) / sizeof(name[0])));
  return std::wstring(name, n > 0 ? (size_t)n : 0);
}

SIZE ClientSize(HWND window) {
  RECT r = {};
  GetClientRect(window, &r);
  return SIZE{r.right - r.left, r.bottom - r.top};
}

bool Press(HWND parent, const char* caption) {
  HWND button = FindChild(parent, caption, L"Button");
  if (!button) return false;
  PostMessageW(button, BM_CLICK, 0, 0);
  return true;
}

void PressKey(HWND window, UINT virtual_key) {
  PostMessageW(window, WM_KEYDOWN, virtual_key, 1);
  PostMessageW(window, WM_KEYUP, virtual_key, 1 | (1u << 30) | (1u << 31));
}

MessageBoxSeen WaitMessageBox(DWORD pid, DWORD wait_ms) {
  MessageBoxSeen seen;
  for (DWORD waited = 0;; waited += kPollMs) {
    HWND box = FindTopWindow(L"#32770", nullptr, pid);
    // Read only once the box is on screen: before that its texts may not be set.
    if (box && IsWindowVisible(box) && GetDlgItem(box, kMessageBoxTextId)) {
      seen.window = box;
      seen.caption = Text(box);
      seen.text = Text(GetDlgItem(box, kMessageBoxTextId));
      return seen;
    }
    if (waited >= wait_ms) return seen;
    Sleep(kPollMs);
  }
}

int CloseLeftovers(DWORD pid, const wchar_t* window_class) {
  int closed = 0;
  while (HWND w = FindTopWindow(window_class, nullptr, pid)) {
    if (!IsWindowVisible(w)) break;
    PostMessageW(w, WM_CLOSE, 0, 0);
    ++closed;
    if (!WaitGone(w, 2000)) break;
  }
  return closed;
}

bool Answer(const MessageBoxSeen& box, int button_id) {
  HWND button = GetDlgItem(box.window, button_id);
  if (!button) return false;
  PostMessageW(button, BM_CLICK, 0, 0);
  return true;
}

namespace {

constexpr int kMaxCellChars = 1024;
constexpr DWORD kCaptureWaitMs = 30000;

// One LVITEMW and its text buffer, at the same place for both processes.
struct RemoteCell {
  LVITEMW item;
  wchar_t text[kMaxCellChars];
};

// Memory that a window of another process can be handed: a section mapped
// into this process and into the other one. (The platform's process-memory
// writes are refused where 32-bit programs run under an emulator; a mapped
// section works everywhere.) For a window of this process both views are
// the same.
class SharedBlock {
 public:
  SharedBlock(HWND window, size_t size) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    section_.Reset(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, (DWORD)size, nullptr));
    if (!section_) return;
    local_ = MapViewOfFile(section_.Get(), FILE_MAP_ALL_ACCESS, 0, 0, size);
    if (!local_ || pid == GetCurrentProcessId()) {
      remote_ = local_;
      return;
    }
    process_.Reset(OpenProcess(PROCESS_VM_OPERATION, FALSE, pid));
    auto map = reinterpret_cast<MapViewFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtMapViewOfSection")));
    if (!process_ || !map) return;
    SIZE_T viewSize = 0;
    void* base = nullptr;
    if (map(section_.Get(), process_.Get(), &base, 0, 0, nullptr, &viewSize, kViewUnmap, 0, PAGE_READWRITE) == 0)
      remote_ = base;
  }
  ~SharedBlock() {
    if (remote_ && remote_ != local_) {
      auto unmap = reinterpret_cast<UnmapViewFn>(
          reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtUnmapViewOfSection")));
      if (unmap) unmap(process_.Get(), remote_);
    }
    if (local_) UnmapViewOfFile(local_);
  }
  SharedBlock(const SharedBlock&) = delete;
  SharedBlock& operator=(const SharedBlock&) = delete;

  bool Ready() const { return local_ && remote_; }
  void* Local() const { return local_; }
  void* Remote() const { return remote_; }

 private:
  using MapViewFn = LONG(WINAPI*)(HANDLE, HANDLE, void**, ULONG_PTR, SIZE_T, LARGE_INTEGER*, SIZE_T*, DWORD, ULONG,
                                  ULONG);
  using UnmapViewFn = LONG(WINAPI*)(HANDLE, void*);
  static constexpr DWORD kViewUnmap = 2;  // the view is not inherited by children

  sv::Handle section_;
  sv::Handle process_;
  void* local_ = nullptr;
  void* remote_ = nullptr;
};

}  // namespace

std::vector<std::vector<std::string>> ListViewRows(HWND listView, int columns) {
  std::vector<std::vector<std::string>> rows;
  SharedBlock block(listView, sizeof(RemoteCell));
  if (!block.Ready()) return rows;
  auto* local = static_cast<RemoteCell*>(block.Local());
  auto* remote = static_cast<RemoteCell*>(block.Remote());
  int count = (int)SendMessageW(listView, LVM_GETITEMCOUNT, 0, 0);
  for (int row = 0; row < count; ++row) {
    std::vector<std::string> cells;
    for (int column = 0; column < columns; ++column) {
      *local = RemoteCell{};
      local->item.iSubItem = column;
      local->item.pszText = remote->text;
      local->item.cchTextMax = kMaxCellChars;
      LRESULT got = SendMessageW(listView, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(remote));
      if (got < 0) got = 0;
      if (got >= kMaxCellChars) got = kMaxCellChars - 1;
      cells.push_back(sv::Narrow(std::wstring(local->text, (size_t)got)));
    }
    rows.push_back(cells);
  }
  return rows;
}

bool SelectListViewRow(HWND listView, int row) {
  SharedBlock block(listView, sizeof(LVITEMW));
  if (!block.Ready()) return false;
  auto* item = static_cast<LVITEMW*>(block.Local());
  *item = LVITEMW{};
  item->stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item->state = LVIS_SELECTED | LVIS_FOCUSED;
  return SendMessageW(listView, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(block.Remote())) != 0;
}

bool CaptureScreen(const std::string& pngUnixPath) {
  // Wine's start.exe runs a Unix program by its Unix path; it does not wait
  // for one, so the picture is awaited as a file whose size has settled.
  std::wstring windowsPath = L"Z:" + sv::Wide(pngUnixPath);
  for (wchar_t& c : windowsPath)
    if (c == L'/') c = L'\\';
  DeleteFileW(windowsPath.c_str());
  std::wstring command = L"start.exe /unix /usr/bin/import -window root \"" + sv::Wide(pngUnixPath) + L"\"";
  STARTUPINFOW si = {};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi))
    return false;
  sv::Handle process(pi.hProcess), thread(pi.hThread);
  DWORD lastSize = 0;
  for (DWORD waited = 0; waited < kCaptureWaitMs; waited += kPollMs) {
    Sleep(kPollMs);
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExW(windowsPath.c_str(), GetFileExInfoStandard, &data)) continue;
    if (data.nFileSizeLow > 0 && data.nFileSizeLow == lastSize) return true;
    lastSize = data.nFileSizeLow;
  }
  return false;
}

}  // namespace uikit
