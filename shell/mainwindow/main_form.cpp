#include "main_form.h"

#include <commctrl.h>

#include <algorithm>
#include <unordered_set>

#include "command_dispatcher.h"
#include "cp1251_case.h"
#include "file_io.h"
#include "fault_capture.h"
#include "guard.h"
#include "main_form_ids.h"
#include "main_window.h"
#include "menu_images.h"
#include "message_box.h"
#include "plugin_questions.h"
#include "plugin_registration.h"
#include "svstring.h"
#include "wide.h"
#include "SolvikaDNM.h"
#include "SolvikaMain.h"
#include "SolvikaUtils.h"

namespace shell {

namespace {

constexpr UINT_PTR kDelayedStartTimer = 1;
constexpr UINT kTrayMessage = WM_APP + 10;
constexpr UINT kFirstMdiChildId = 0xFF00;
constexpr char kTrayTip[] = "Solvika";
constexpr char kNoClientNumber[] = "none";
constexpr char kSettingsSection[] = "Solvika";
constexpr char kDefaultSkin[] = "LE4-DEFAULT";
constexpr char kSkinsFolder[] = "SVData\\SVSkins\\";
constexpr char kSkinExtension[] = ".skn";
constexpr size_t kSkinExtensionLength = 4;
constexpr char kBackupLibrary[] = "SolvikaDump.dll";
constexpr char kAccessLibrary[] = "TovrinPF.dll";
constexpr int kPluginsMenuLeft = 15;    // the plugins popup, from the window's left
constexpr int kPluginsMenuBottom = 30;  // and from its bottom
constexpr int kFallbackPluginImage = kImageContents;
constexpr int kGroupImage = kImageGroup;
constexpr int kMaxPluginsClosedAtOnce = 1000;
constexpr COLORREF kOutdatedMenuColour = RGB(144, 144, 16);
constexpr COLORREF kNotInstalledMenuColour = RGB(255, 0, 0);
constexpr COLORREF kWaitingMenuColour = RGB(0, 128, 0);
constexpr char kItemSpaces[] = "     ";  // after every plugins menu caption
#ifndef SV_SITE_ROOT
#define SV_SITE_ROOT "http://www.solvika.invalid/"
#endif
constexpr char kDefaultHomePage[] = SV_SITE_ROOT "download/";
constexpr char kDefaultForumPage[] = SV_SITE_ROOT "forum/";
constexpr char kSubscriptionPage[] = SV_SITE_ROOT "client/subscription.php";

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

std::string IniText(const char* section, const char* key, const char* def) {
  return sv::TakeOut([&](SvStr* out) { GetIniString(out, section, key, def); });
}

// Calls an export of the access library, which the shell loads by name: the
// access library itself reaches the shell's password window.
template <class Fn>
Fn AccessEntry(const char* name) {
  HMODULE module = GetModuleHandleW(sv::Wide(kAccessLibrary).c_str());
  if (!module) module = LoadLibraryW(sv::Wide(sv::ProgramFolder() + kAccessLibrary).c_str());
  return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

// The catalogue plugin's exports, when it is loaded.
template <class Fn>
Fn CatalogueEntry(const char* name) {
  HMODULE module = GetModuleHandleW(sv::Wide(kCatalogueLibrary).c_str());
  return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

int CompareRussian(const std::string& a, const std::string& b) { return RusCompareStr(a.c_str(), b.c_str()); }

}  // namespace

std::string MainFormCaption(const std::string& clientNumber) {
  std::string caption = sv::Ru(u8"Программа Solvika");
  if (!clientNumber.empty() && clientNumber != kNoClientNumber) caption += sv::Ru(u8" №") + clientNumber;
  return caption;
}

MainFormLayout LayOutMainForm(int clientWidth, int clientHeight, int rightPanelWidth) {
  int width = clientWidth > 0 ? clientWidth : 0;
  int height = clientHeight > 0 ? clientHeight : 0;
  int panelTop = height > kBottomPanelHeight ? height - kBottomPanelHeight : 0;
  int rightLeft = width > rightPanelWidth ? width - rightPanelWidth : 0;
  int tabWidth = width > kSearchPanelWidth ? width - kSearchPanelWidth : 0;
  MainFormLayout layout;
  layout.mdiClient = RECT{0, 0, rightLeft, panelTop};
  layout.rightPanel = RECT{rightLeft, 0, width, panelTop};
  layout.bottomPanel = RECT{0, panelTop, width, height};
  layout.tabBar = RECT{0, 0, tabWidth, height - panelTop};
  layout.searchPanel = RECT{tabWidth, 0, width, height - panelTop};
  return layout;
}

MainForm::~MainForm() {
  tray_.Remove();
  if (accelerators_) DestroyAcceleratorTable(accelerators_);
  // The window goes before the images its menus and list draw with.
  Destroy();
  if (images_) ImageList_Destroy(images_);
}

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

  // Faults from here on become error reports of the dialogs library.
  InstallFaultCapture([this](const std::string& header, const std::string& details) {
    tools_.ExecExceptWindowEx(header, details);
  });
  showSearchPanel_ = GetIniInt(kSettingsSection, "ShowSearchPanel", 1) == 1;
  skin_ = IniText(kSettingsSection, "Skin", kDefaultSkin);
  // Plugin access is decided from the access settings kept under "Plugins".
  if (auto exitAccess = AccessEntry<uint8_t(SVAPI*)()>("PFExit")) exitAccess();
  if (auto registerModule = AccessEntry<void(SVAPI*)(const char*, const char*)>("PFRegisterModule"))
    registerModule("Plugins", "Tovrin.ini");

  images_ = LoadMenuImages(ui::ThisModule());
  menuItems_.SetImages(images_);
  CreateChildren();
  menus_ = BuildMainMenu(menuItems_, sv::FileExists(sv::ProgramFolder() + kBackupLibrary));
  CheckMenuItem(menus_.view, kMenuToggleSearch, showSearchPanel_ ? MF_CHECKED : MF_UNCHECKED);
  SetMenu(window, menus_.bar.Release());
  trayMenu_ = BuildTrayMenu(menuItems_);
  accelerators_ = BuildAccelerators();
  LoadPlugins();
  banner_.Show(kDefaultBannerName, true);
  ApplySkin();

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
  banner_.Create(Handle());
  rightPanel_ = banner_.Handle();
  banner_.onWidthChanged = [this] { Layout(); };
  search_.Create(bottomPanel_);
  if (showSearchPanel_) ShowWindow(search_.Handle(), SW_SHOW);
  CLIENTCREATESTRUCT mdi = {};
  mdi.idFirstChild = kFirstMdiChildId;
  mdiClient_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"MDICLIENT", nullptr,
                               WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_VSCROLL | WS_HSCROLL, 0, 0, 0, 0,
                               Handle(), nullptr, ui::ThisModule(), &mdi);
  // Over the MDI client, as its sibling: a child of the client itself would
  // count as one of its MDI windows.
  pluginList_.Create(Handle(), images_);
  pluginList_.ShowPanel(true);
  Layout();
  pluginList_.onStyleChanged = [](bool list) {
    SetCustomIniInt("main", "ContentViewAsList", list ? 1 : 0, (sv::ProgramFolder() + "SolvikaLC.ini").c_str());
  };
}

void MainForm::Layout() {
  RECT client;
  GetClientRect(Handle(), &client);
  MainFormLayout layout =
      LayOutMainForm(client.right, client.bottom, banner_.PanelWidth() ? banner_.PanelWidth() : kRightPanelWidth);
  auto place = [](HWND window, const RECT& r) {
    if (window) MoveWindow(window, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
  };
  place(mdiClient_, layout.mdiClient);
  place(rightPanel_, layout.rightPanel);
  place(bottomPanel_, layout.bottomPanel);
  place(search_.Handle(), layout.searchPanel);
  // The plugin tab bar, once the host made it, fills the panel's left part.
  if (bottomPanel_) {
    for (HWND child = GetWindow(bottomPanel_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      if (child != search_.Handle()) place(child, layout.tabBar);
    }
  }
  pluginList_.FitTo(SIZE{layout.mdiClient.right - layout.mdiClient.left,
                          layout.mdiClient.bottom - layout.mdiClient.top});
}

void MainForm::LoadPlugins() {
  DebugWrite("SVMain > LoadPlugins > Strart");
  skinEngine_.SuspendMenu();
  DebugWrite("SVMain > LoadPlugins > RegisterPlugins");
  RegisterPlugins(sv::ProgramFolder());
  DebugWrite("SVMain > LoadPlugins > MakePluginsArray");
  {
    // One read of each file for the whole array: the files stay the truth,
    // and a thousand plugins do not cost thousands of file reads.
    std::string folder = sv::ProgramFolder();
    std::string settingsBytes, marksBytes;
    sv::ReadWholeFile(folder + "Tovrin.ini", &settingsBytes);
    sv::IniText settings(settingsBytes);
    bool marked = sv::ReadWholeFile(folder + kPatchKeeperUpdates, &marksBytes);
    sv::IniText marks(marksBytes);
    PluginArrayInput input{settings, marked ? &marks : nullptr,
                           [&](const std::string& library) { return sv::FileExists(folder + library); },
                           CompareRussian};
    plugins_ = BuildPluginArray(input);
  }
  DebugWrite("SVMain > LoadPlugins > MakePluginsMenu");
  MakePluginsMenu();
  DebugWrite("SVMain > LoadPlugins > MakeStyleSkinsMenu");
  MakeSkinsMenu();
  skinEngine_.ResumeMenu();
  DrawMenuBar(Handle());
  RefreshPluginList();
  DebugWrite("SVMain > LoadPlugins > Done");
}

void MainForm::MakePluginsMenu() {
  DebugWrite("SVMain > MakePluginsMenu > Start");
  DebugWrite("SVMain > MakePluginsMenu > PluginsMenuItem.Clear");
  menuItems_.Clear(menus_.contents);
  // Plugin icons sit behind the fixed images; the old ones go.
  while (ImageList_GetImageCount(images_) > kMenuImageCount) ImageList_Remove(images_, kMenuImageCount);
  DebugWrite("SVMain > MakePluginsMenu > Make");
  AddPluginItems(menus_.contents, true);
  DebugWrite("SVMain > MakePluginsMenu > MakePluginsPopupMenu");
  if (pluginsPopup_) menuItems_.Clear(pluginsPopup_.Get());
  pluginsPopup_.Reset(CreatePopupMenu());
  AddPluginItems(pluginsPopup_.Get(), false);
  DebugWrite("SVMain > MakePluginsMenu > Done");
}

void MainForm::AddPluginItems(HMENU menu, bool remember) {
  HMENU group = menu;
  std::string folder = sv::ProgramFolder();
  // One listing of the icons there are: trying to load a thousand missing
  // icon files one by one costs far more than the whole menu.
  std::unordered_set<std::string> icons;
  if (remember) {
    for (const std::string& name : sv::FindNames(folder + "*.ico", sv::EntryKind::kFiles))
      icons.insert(sv::ToUpper1251(name));
  }
  for (size_t i = 0; i < plugins_.size(); ++i) {
    ListedPlugin& plugin = plugins_[i];
    if (plugin.status == kPluginGroupHeader) {
      group = menuItems_.AddSubmenu(menu, plugin.name + kItemSpaces, kGroupImage);
      continue;
    }
    if (remember) {
      std::string iconName = PluginId(plugin.key) + ".ico";
      plugin.imageIndex = kFallbackPluginImage;
      if (icons.count(sv::ToUpper1251(iconName))) {
        std::wstring iconPath = sv::Wide(folder + iconName);
        sv::Icon icon(static_cast<HICON>(LoadImageW(nullptr, iconPath.c_str(), IMAGE_ICON, 16, 16, LR_LOADFROMFILE)));
        int added = icon ? ImageList_AddIcon(images_, icon.Get()) : -1;
        if (added >= 0) plugin.imageIndex = added;
      }
    }
    std::string caption = plugin.name + kItemSpaces;
    COLORREF colour = 0;
    const COLORREF* own = nullptr;
    switch (plugin.status) {
      case kPluginOutdated:
        caption += sv::Ru(u8"(Устарел)     ");
        colour = kOutdatedMenuColour, own = &colour;
        break;
      case kPluginNotInstalled:
        caption += sv::Ru(u8"(Не установлен)     ");
        colour = kNotInstalledMenuColour, own = &colour;
        break;
      case kPluginWaitingForRestart:
        caption += sv::Ru(u8"(Ждем перезагрузку)     ");
        colour = kWaitingMenuColour, own = &colour;
        break;
    }
    menuItems_.AddItem(group, kFirstPluginMenuId + static_cast<UINT>(i), caption, nullptr, plugin.imageIndex, own);
  }
}

void MainForm::MakeSkinsMenu() {
  if (!menus_.skins) return;
  menuItems_.Clear(menus_.skins);
  skins_.clear();
  for (const std::string& file :
       sv::FindNames(sv::ProgramFolder() + kSkinsFolder + "*" + kSkinExtension, sv::EntryKind::kFiles)) {
    if (file.size() > kSkinExtensionLength + 1) skins_.push_back(file.substr(0, file.size() - kSkinExtensionLength));
  }
  std::sort(skins_.begin(), skins_.end(), [](const std::string& a, const std::string& b) {
    return CompareRussian(a, b) < 0;
  });
  for (size_t i = 0; i < skins_.size(); ++i) {
    UINT id = kFirstSkinMenuId + static_cast<UINT>(i);
    menuItems_.AddItem(menus_.skins, id, skins_[i]);
    if (CompareRussian(skins_[i], skin_) == 0) CheckMenuItem(menus_.skins, id, MF_CHECKED);
  }
  // The submenu's own item is in the view menu.
  for (int i = 0; i < GetMenuItemCount(menus_.view); ++i) {
    if (GetSubMenu(menus_.view, i) == menus_.skins)
      EnableMenuItem(menus_.view, i, MF_BYPOSITION | (skins_.empty() ? MF_GRAYED : MF_ENABLED));
  }
}

void MainForm::ChooseSkin(size_t index) {
  if (index >= skins_.size()) return;
  skin_ = skins_[index];
  for (size_t i = 0; i < skins_.size(); ++i)
    CheckMenuItem(menus_.skins, kFirstSkinMenuId + static_cast<UINT>(i), i == index ? MF_CHECKED : MF_UNCHECKED);
  ApplySkin();
  SetIniString(kSettingsSection, "Skin", skin_.c_str());
}

void MainForm::ApplySkin() {
  std::string path = sv::ProgramFolder() + kSkinsFolder + skin_ + kSkinExtension;
  if (!sv::FileExists(path) || !skinEngine_.Load(path)) return;
  if (!skinEngine_.Active()) skinEngine_.SetActive(true);
  skinEngine_.Restyle(Handle());
}

void MainForm::Restyle() {
  if (skinEngine_.Active()) skinEngine_.Restyle(Handle());
}

void MainForm::SetPluginListStyle(bool list) { pluginList_.SetListStyle(list); }

void MainForm::RefreshPluginList() { pluginList_.Refresh(); }

bool MainForm::AskYesNo(const std::string& text) {
  return ui::MessageBox1251(Handle(), text, sv::Ru(u8"Мастер обновлений"),
                            MB_YESNO | MB_ICONQUESTION | MB_TOPMOST) == IDYES;
}

void MainForm::OpenListedPlugin(int index) {
  if (index < 0 || index >= static_cast<int>(plugins_.size())) return;
  ListedPlugin plugin = plugins_[index];  // a copy: a reload may change the array
  if (plugin.status == kPluginGroupHeader) return;
  std::string id = PluginId(plugin.key);
  std::string marksBytes;
  bool marked = false;
  if (sv::ReadWholeFile(sv::ProgramFolder() + kPatchKeeperUpdates, &marksBytes)) {
    sv::IniText marks(marksBytes);
    marked = MarkedForRestart(&marks, id);
  }
  if (plugin.status == kPluginWaitingForRestart || marked) {
    if (AskYesNo(RestartQuestion(plugin.name))) SVShellExe("", "-closeprev");
    return;
  }
  if (plugin.status == kPluginOutdated && AskYesNo(NewVersionQuestion(plugin.name))) {
    DownloadPlugin(id);
    return;
  }
  if (plugin.status == kPluginNotInstalled) {
    if (AskYesNo(InstallQuestion(plugin.name))) DownloadPlugin(id);
    return;
  }
  if (host_.AddPlugin(plugin.key) == 1) pluginList_.ShowPanel(false);
}

void MainForm::OpenFromList(int index) {
  pluginList_.ShowPanel(false);
  OpenListedPlugin(index);
  if (!host_.ActivePluginForm()) pluginList_.ShowPanel(true);
}

void MainForm::DownloadPlugin(const std::string& pluginId) {
  if (RunDispatcher(kCommandOpenCatalogue)) pluginList_.ShowPanel(false);
  if (auto download = CatalogueEntry<void(SVAPI*)(HWND, const char*)>("PatchKeeperDownload"))
    download(host_.ActivePluginForm(), pluginId.c_str());
}

bool MainForm::RunDispatcher(int code) {
  std::string clientId = sv::TakeOut([](SvStr* out) { GetProgramId(out); });
  sv::OwnedStr idBytes(clientId);
  std::string clientParam = sv::Take(Str2HTTP(idBytes.Get()));
  DispatchPlan plan = PlanCommand(code, kSubscriptionPage, clientParam);
  for (const SettingWrite& w : plan.writes) SetIniString(w.section.c_str(), w.key.c_str(), w.value.c_str());
  auto refresh = CatalogueEntry<void(SVAPI*)(HWND)>("PatchKeeperRefresh");
  switch (plan.kind) {
    case DispatchPlan::Kind::kNone:
      return false;
    case DispatchPlan::Kind::kOpenCatalogue: {
      if (host_.AddPlugin(plan.pluginKey) == 1) return true;
      if (!refresh) return false;
      refresh(host_.ActivePluginForm());
      return true;
    }
    case DispatchPlan::Kind::kRefreshCatalogue:
      if (refresh) refresh(nullptr);
      return false;
    case DispatchPlan::Kind::kOpenPlugin:
      return host_.AddPlugin(plan.pluginKey) == 1;
    case DispatchPlan::Kind::kReopenPlugin: {
      // An open plugin of the key is activated by AddPlugin (result 0): it
      // closes and opens again with the new page.
      int32_t opened = host_.AddPlugin(plan.pluginKey);
      if (opened == 0 && host_.ActivePluginKey() == plan.pluginKey) {
        host_.CloseActivePlugin();
        opened = host_.AddPlugin(plan.pluginKey);
      }
      return opened == 1;
    }
  }
  return false;
}

void MainForm::ClosePluginCommand() {
  if (host_.ActivePluginForm()) host_.CloseActivePlugin();
  if (!host_.ActivePluginForm()) {
    pluginList_.ShowPanel(true);
    PostMessageW(Handle(), WM_SHELL_COMMAND, SVSHELL_SHOW_BANNER, 0);
  }
}

void MainForm::AskRestartAfterUpdate(uint32_t jobCode) {
  std::string job = sv::TakeOut([&](SvStr* out) { SVDNMGetJobNameByBaseCode(out, jobCode); });
  if (AskYesNo(UpdateFinishedQuestion(job))) SVShellExe("", "-closeprev");
}

void MainForm::ToggleSearchPanel() {
  showSearchPanel_ = !showSearchPanel_;
  CheckMenuItem(menus_.view, kMenuToggleSearch, showSearchPanel_ ? MF_CHECKED : MF_UNCHECKED);
  ShowWindow(search_.Handle(), showSearchPanel_ ? SW_SHOW : SW_HIDE);
  SetIniInt(kSettingsSection, "ShowSearchPanel", showSearchPanel_ ? 1 : 0);
}

void MainForm::ShowPluginsPopup() {
  RECT r;
  GetWindowRect(Handle(), &r);
  SetForegroundWindow(Handle());
  skinEngine_.StyleMenu(pluginsPopup_.Get());
  TrackPopupMenu(pluginsPopup_.Get(), TPM_LEFTALIGN | TPM_BOTTOMALIGN, r.left + kPluginsMenuLeft,
                 r.bottom - kPluginsMenuBottom, 0, Handle(), nullptr);
  PostMessageW(Handle(), WM_NULL, 0, 0);
}

void MainForm::HideToTray() { ShowWindow(Handle(), SW_HIDE); }

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
  RemoveFaultCapture();
  application_.SetRestoreHandler(nullptr);
  banner_.StopDownload();
  KillTimer(Handle(), kDelayedStartTimer);
  host_.CloseAllPlugins();
  ProcessPendingMessages();
  host_.FreePlugins();
  tray_.Remove();
  ShowWindow(Handle(), SW_HIDE);
  PostQuitMessage(0);
}

bool MainForm::TranslateAccelerators(MSG* message) {
  if (accelerators_ && TranslateAcceleratorW(Handle(), accelerators_, message)) return true;
  return mdiClient_ && TranslateMDISysAccel(mdiClient_, message);
}

bool MainForm::OnShellCommand(WPARAM command, LPARAM argument) {
  switch (command) {
    case SVSHELL_RELOAD_PLUGINS:
      LoadPlugins();
      return true;
    case SVSHELL_EXIT:
      Exit();
      return true;
    case SVSHELL_CLOSE_ACTIVE_PLUGIN:
      ClosePluginCommand();
      return true;
    case SVSHELL_PLUGIN_ACTIVATED:
      host_.UpdateActivePlugin();
      Restyle();
      PostMessageW(Handle(), WM_SHELL_COMMAND, SVSHELL_SHOW_BANNER, 0);
      return true;
    case SVSHELL_RESTORE:
      Restore();
      return true;
    case SVSHELL_PLUGINS_MENU:
      ShowPluginsPopup();
      return true;
    case SVSHELL_SHOW_BANNER:
      banner_.Show(host_.ActivePluginKey(), true);
      return true;
    case SVSHELL_MODAL_WINDOW:
      tools_.ExecModalWindow(static_cast<int32_t>(argument));
      return true;
    case SVSHELL_TOGGLE_WINDOW:
      tools_.ExecWindow(static_cast<int32_t>(argument));
      return true;
    case SVSHELL_RUN_COMMAND:
      if (RunDispatcher(static_cast<int>(argument))) pluginList_.ShowPanel(false);
      return true;
    case SVSHELL_UPDATE_DOWNLOADED:
      AskRestartAfterUpdate(static_cast<uint32_t>(argument));
      return true;
  }
  return false;
}

bool MainForm::OnMenuCommand(UINT id) {
  PostedCommand posted = PostedCommandOf(id);
  if (posted.posts) {
    PostMessageW(Handle(), WM_SHELL_COMMAND, posted.command, posted.argument);
    return true;
  }
  if (id >= kFirstPluginMenuId && id <= kLastPluginMenuId) {
    OpenListedPlugin(static_cast<int>(id - kFirstPluginMenuId));
    return true;
  }
  if (id >= kFirstSkinMenuId && id <= kLastSkinMenuId) {
    ChooseSkin(id - kFirstSkinMenuId);
    return true;
  }
  switch (id) {
    case kMenuToggleContents:
      pluginList_.ShowPanel(!pluginList_.Shown());
      return true;
    case kMenuHide:
    case kMenuTrayHide:
      HideToTray();
      return true;
    case kMenuExit:
    case kMenuTrayExit:
      // Posted, so that it runs after the menu has closed.
      PostMessageW(Handle(), WM_SHELL_COMMAND, SVSHELL_EXIT, 0);
      return true;
    case kMenuTrayOpen:
      Restore();
      return true;
    case kMenuMaximizePlugin:
      if (HWND active = ui::ActiveMdiChild(mdiClient_)) SendMessageW(mdiClient_, WM_MDIMAXIMIZE, (WPARAM)active, 0);
      return true;
    case kMenuCascade:
      SendMessageW(mdiClient_, WM_MDICASCADE, 0, 0);
      return true;
    case kMenuTile:
      SendMessageW(mdiClient_, WM_MDITILE, MDITILE_VERTICAL, 0);
      return true;
    case kMenuToggleSearch:
      ToggleSearchPanel();
      return true;
    case kMenuCloseAll:
      host_.CloseAllPlugins();
      PostMessageW(Handle(), WM_SHELL_COMMAND, SVSHELL_CLOSE_ACTIVE_PLUGIN, 0);
      return true;
    case kMenuHomePage:
      SVShellWWW(IniText(kSettingsSection, "HomePage", kDefaultHomePage).c_str());
      return true;
    case kMenuForum:
      SVShellWWW(IniText(kSettingsSection, "ForumPage", kDefaultForumPage).c_str());
      return true;
    case kMenuErrorReport:
      tools_.ExecExceptWindow("");
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
  HMENU popup = GetSubMenu(trayMenu_.Get(), 0);
  if (!popup) return;
  POINT at;
  GetCursorPos(&at);
  // The menu closes when the user clicks elsewhere only if this window is in
  // front while it tracks.
  SetForegroundWindow(Handle());
  skinEngine_.StyleMenu(popup);
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
    case WM_MEASUREITEM:
      if (!menuItems_.OnMeasureItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lparam))) return false;
      *result = TRUE;
      return true;
    case WM_DRAWITEM:
      if (!menuItems_.OnDrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(lparam))) return false;
      *result = TRUE;
      return true;
    case WM_COMMAND:
      // Commands of the MDI children's window menu go to the frame's default.
      if (lparam == 0 && OnMenuCommand(LOWORD(wparam))) {
        *result = 0;
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
