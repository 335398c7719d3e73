#include "main_window.h"

#include "wide.h"

namespace ui {

namespace {

struct Search {
  DWORD process;
  const wchar_t* windowClass;
  HWND found;
};

BOOL CALLBACK MatchOwnWindow(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != search->process) return TRUE;
  wchar_t name[64] = {};
  GetClassNameW(window, name, (int)(sizeof(name) / sizeof(name[0])));
  if (lstrcmpW(name, search->windowClass) != 0) return TRUE;
  search->found = window;
  return FALSE;
}

}  // namespace

HWND FindOwnTopWindow(const wchar_t* windowClass) {
  Search search = {GetCurrentProcessId(), windowClass, nullptr};
  EnumWindows(MatchOwnWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND MainWindow() { return FindOwnTopWindow(kMainWindowClass); }

HWND MdiClientOf(HWND frame) { return frame ? FindWindowExW(frame, nullptr, kMdiClientClass, nullptr) : nullptr; }

HWND MainMdiClient() { return MdiClientOf(MainWindow()); }

HWND ActiveMdiChild() { return ActiveMdiChild(MainMdiClient()); }

HWND ActiveMdiChild(HWND mdiClient) {
  return mdiClient ? reinterpret_cast<HWND>(SendMessageW(mdiClient, WM_MDIGETACTIVE, 0, 0)) : nullptr;
}

HWND CreateMdiChild(HWND mdiClient, const wchar_t* windowClass, std::string_view title1251, HINSTANCE module,
                    DWORD style, LPARAM param) {
  if (!mdiClient) return nullptr;
  std::wstring title = sv::Wide(title1251);
  MDICREATESTRUCTW create = {};
  create.szClass = windowClass;
  create.szTitle = title.c_str();
  create.hOwner = module;
  create.x = create.y = create.cx = create.cy = CW_USEDEFAULT;
  create.style = style;
  create.lParam = param;
  return reinterpret_cast<HWND>(SendMessageW(mdiClient, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&create)));
}

}  // namespace ui
