#include "main_form.h"

#include "guard.h"
#include "main_form_ids.h"
#include "wide.h"
#include "SolvikaMain.h"

namespace shell {

namespace {

constexpr UINT_PTR kDelayedStartTimer = 1;
constexpr UINT kTrayMessage = WM_APP + 10;
constexpr UINT kFirstMdiChildId = 0xFF00;
constexpr char kTrayTip[] = "Solvika";
constexpr char kNoClientNumber[] = "none";

HICON LoadProgramIcon(int size) {
  return static_cast<HICON>(
      LoadImageW(ui::ThisModule(), MAKEINTRESOURCEW(IDI_SOLVIKA), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

// Lets whatever is waiting in the queue run: the windows that closing the
// plugins destroyed send their last messages.
void ProcessPendingMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

}  // namespace

std::string MainFormCaption(const std::string& clientNumber) {
  std::string caption = sv::Ru(u8"Программа Solvika");
  if (!clientNumber.empty() && clientNumber != kNoClientNumber) caption += sv::Ru(u8" №") + clientNumber;
  return caption;
}

MainFormLayout LayOutMainForm(int clientWidth, int clientHeight) {
  int width = clientWidth > 0 ? clientWidth : 0;
  int height = clientHeight > 0 ? clientHeight : 0;
  int panelTop = height > kBottomPanelHeight ? height - kBottomPanelHeight : 0;
  int tabWidth = width > kSearchPanelWidth ? width - kSearchPanelWidth : 0;
  MainFormLayout layout;
  layout.mdiClient = RECT{0, 0, width, panelTop};
  layout.bottomPanel = RECT{0, panelTop, width, height};
  layout.tabBar = RECT{0, 0, tabWidth, height - panelTop};
  return layout;
}

MainForm::~MainForm() { tray_.Remove(); }

bool MainForm::Create(const std::string& caption) {
  icon_.Reset(LoadProgramIcon(GetSystemMetrics(SM_CXICON)));
  smallIcon_.Reset(LoadProgramIcon(GetSystemMetrics(SM_CXSMICON)));
  ui::RegisterWindowClass(ui::ThisModule(), kMainFormClass, reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1),
                          icon_.Get());
  taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
  HWND window = Window::Create(0, kMainFormClass, sv::Wide(caption).c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                               CW_USEDEFAULT, CW_USEDEFAULT, kMainFormMinWidth, kMainFormMinHeight, nullptr,
                               ui::ThisModule());
  if (!window) return false;
  SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_.Get()));
  SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.Get()));
  CreateChildren();
  tray_.Add(window, kTrayMessage, smallIcon_.Get(), kTrayTip);
  application_.SetRestoreHandler([this] { Restore(); });
  ShowWindow(window, SW_SHOWMAXIMIZED);
  UpdateWindow(window);
  SetTimer(window, kDelayedStartTimer, kDelayedStartMs, nullptr);
  return true;
}

void MainForm::CreateChildren() {
  bottomPanel_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | SS_ETCHEDFRAME, 0, 0,
                                 0, 0, Handle(), nullptr, ui::ThisModule(), nullptr);
  CLIENTCREATESTRUCT mdi = {};
  mdi.idFirstChild = kFirstMdiChildId;
  mdiClient_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"MDICLIENT", nullptr,
                               WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_VSCROLL | WS_HSCROLL, 0, 0, 0, 0,
                               Handle(), nullptr, ui::ThisModule(), &mdi);
  Layout();
}

void MainForm::Layout() {
  RECT client;
  GetClientRect(Handle(), &client);
  MainFormLayout layout = LayOutMainForm(client.right, client.bottom);
  auto place = [](HWND window, const RECT& r) {
    if (window) MoveWindow(window, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
  };
  place(mdiClient_, layout.mdiClient);
  place(bottomPanel_, layout.bottomPanel);
  // The plugin tab bar, once the host made it, fills the panel's left part.
  if (bottomPanel_) place(GetWindow(bottomPanel_, GW_CHILD), layout.tabBar);
}

void MainForm::HideToTray() {
  ShowWindow(Handle(), SW_HIDE);
}

void MainForm::Restore() {
  if (exiting_) return;
  if (IsIconic(Handle()))
    ShowWindow(Handle(), SW_RESTORE);
  else if (!IsWindowVisible(Handle()))
    ShowWindow(Handle(), SW_SHOW);
  SetForegroundWindow(Handle());
}

void MainForm::Exit() {
  if (exiting_) return;
  exiting_ = true;
  application_.SetRestoreHandler(nullptr);
  KillTimer(Handle(), kDelayedStartTimer);
  plugins_.CloseAllPlugins();
  ProcessPendingMessages();
  plugins_.FreePlugins();
  tray_.Remove();
  ShowWindow(Handle(), SW_HIDE);
  PostQuitMessage(0);
}

bool MainForm::TranslateAccelerators(MSG* message) {
  return mdiClient_ && TranslateMDISysAccel(mdiClient_, message);
}

bool MainForm::OnShellCommand(WPARAM command, LPARAM argument) {
  (void)argument;
  switch (command) {
    case SVSHELL_EXIT:
      Exit();
      return true;
    case SVSHELL_RESTORE:
      Restore();
      return true;
  }
  return false;
}

void MainForm::OnTrayMessage(LPARAM mouseMessage) {
  switch (mouseMessage) {
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
      Restore();
      break;
    case WM_RBUTTONUP:
    case WM_CONTEXTMENU:
      ShowTrayMenu();
      break;
  }
}

void MainForm::ShowTrayMenu() {
  sv::Menu menu(LoadMenuW(ui::ThisModule(), MAKEINTRESOURCEW(IDM_TRAY)));
  if (!menu) return;
  HMENU popup = GetSubMenu(menu.Get(), 0);
  SetMenuDefaultItem(popup, IDM_TRAY_OPEN, FALSE);
  POINT at;
  GetCursorPos(&at);
  // The menu closes when the user clicks elsewhere only if this window is in
  // front while it tracks.
  SetForegroundWindow(Handle());
  TrackPopupMenu(popup, TPM_RIGHTBUTTON, at.x, at.y, 0, Handle(), nullptr);
  PostMessageW(Handle(), WM_NULL, 0, 0);
}

bool MainForm::OnMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) {
  if (message == WM_SHELL_COMMAND) {
    *result = 0;
    return OnShellCommand(wparam, lparam);
  }
  if (taskbarCreated_ && message == taskbarCreated_) {
    tray_.Readd();
    return false;
  }
  switch (message) {
    case WM_SIZE:
      Layout();
      *result = 0;
      return true;  // not DefFrameProc: it would give the MDI client the whole area
    case WM_GETMINMAXINFO:
      reinterpret_cast<MINMAXINFO*>(lparam)->ptMinTrackSize = POINT{kMainFormMinWidth, kMainFormMinHeight};
      *result = 0;
      return true;
    case WM_TIMER:
      if (wparam != kDelayedStartTimer) return false;
      KillTimer(Handle(), kDelayedStartTimer);
      if (delayedStart_) delayedStart_();
      *result = 0;
      return true;
    case WM_CLOSE:
      if (!exiting_) HideToTray();
      *result = 0;
      return true;  // the window goes when the program has shut down
    case kTrayMessage:
      OnTrayMessage(lparam);
      *result = 0;
      return true;
    case WM_COMMAND:
      switch (LOWORD(wparam)) {
        case IDM_TRAY_OPEN:
          Restore();
          return true;
        case IDM_TRAY_HIDE:
          HideToTray();
          return true;
        case IDM_TRAY_EXIT:
          // Posted, so that it runs after the menu has closed.
          PostMessageW(Handle(), WM_SHELL_COMMAND, SVSHELL_EXIT, 0);
          return true;
      }
      return false;
    case WM_DESTROY:
      // Destroyed by someone else than the shutdown: end the program too.
      if (!exiting_) Exit();
      return false;
  }
  return false;
}

LRESULT MainForm::DefaultProcedure(UINT message, WPARAM wparam, LPARAM lparam) {
  return DefFrameProcW(Handle(), mdiClient_, message, wparam, lparam);
}

}  // namespace shell
