// The main window (class TSolvikaMainForm): the MDI frame in which plugin
// windows open, with the plugin tab bar in a panel at the bottom and the
// program's icon in the tray. Closing it hides it to the tray; only the exit
// command ends the program.
#pragma once

#include <functional>
#include <string>

#include "app.h"
#include "banner_grid.h"
#include "main_menu.h"
#include "menu_items.h"
#include "plugin_array.h"
#include "plugin_host.h"
#include "plugin_list_panel.h"
#include "search_panel.h"
#include "skin_engine.h"
#include "tools_binding.h"
#include "tray_icon.h"
#include "window.h"
#include "win_handles.h"

namespace shell {

constexpr wchar_t kMainFormClass[] = L"TSolvikaMainForm";
constexpr int kMainFormMinWidth = 700;
constexpr int kMainFormMinHeight = 500;
constexpr int kBottomPanelHeight = 27;
constexpr int kSearchPanelWidth = 224;  // right part of the bottom panel
constexpr int kRightPanelWidth = 116;   // the banner's place
constexpr unsigned kDelayedStartMs = 250;

// "Программа Solvika", with " №" and the client number when there is one
// ("none" means there is none).
std::string MainFormCaption(const std::string& clientNumber);

// Where the frame's parts go in a client area of the given size.
struct MainFormLayout {
  RECT mdiClient;
  RECT rightPanel;
  RECT bottomPanel;
  RECT tabBar;       // inside the bottom panel
  RECT searchPanel;  // inside the bottom panel, at its right end
};
MainFormLayout LayOutMainForm(int clientWidth, int clientHeight, int rightPanelWidth = kRightPanelWidth);

class MainForm : public ui::Window {
 public:
  // `delayedStart` runs once, shortly after the message loop has started.
  MainForm(ui::ApplicationObject& application, PluginHost& plugins, std::function<void()> delayedStart)
      : application_(application), host_(plugins), delayedStart_(std::move(delayedStart)) {}
  ~MainForm() override;

  bool Create(const std::string& caption);
  HWND MdiClient() const { return mdiClient_; }
  HWND BottomPanel() const { return bottomPanel_; }
  const BannerGrid& Banner() const { return banner_; }
  bool Exiting() const { return exiting_; }

  void HideToTray();
  void Restore();
  // Closes every plugin and ends the message loop; the window itself stays
  // until the program has shut down, so that a copy waiting for it to go
  // knows when the program has ended.
  void Exit();

  // Styles the window and everything in it again with the skin, if one is on
  // (plugin windows opened since get it too).
  void Restyle();
  // Places the parts again (after the plugin tab bar was made).
  void Relayout() { Layout(); }

  // Registration, plugin array, menus and list (at start and on command 0).
  void LoadPlugins();
  // The list panel in list style or report style, then its rows refreshed.
  void SetPluginListStyle(bool list);
  void RefreshPluginList();
  const std::vector<ListedPlugin>& Plugins() const { return plugins_; }

  // The message loop's share: MDI keyboard commands (Ctrl+F4, Ctrl+F6).
  bool TranslateAccelerators(MSG* message);

 private:
  bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) override;
  LRESULT DefaultProcedure(UINT message, WPARAM wparam, LPARAM lparam) override;
  void CreateChildren();
  void Layout();
  bool OnShellCommand(WPARAM command, LPARAM argument);
  bool OnMenuCommand(UINT id);
  void OnTrayMessage(LPARAM mouseMessage);
  void ShowTrayMenu();
  void MakePluginsMenu();
  void AddPluginItems(HMENU menu, bool remember);
  void MakeSkinsMenu();
  void ChooseSkin(size_t index);
  void ApplySkin();
  void OpenListedPlugin(int index);
  void OpenFromList(int index);
  void DownloadPlugin(const std::string& pluginId);
  bool RunDispatcher(int code);
  void ClosePluginCommand();
  void AskRestartAfterUpdate(uint32_t jobCode);
  void ToggleSearchPanel();
  bool AskYesNo(const std::string& text);
  void ShowPluginsPopup();

  ui::ApplicationObject& application_;
  PluginHost& host_;
  std::function<void()> delayedStart_;
  HWND mdiClient_ = nullptr;
  HWND bottomPanel_ = nullptr;
  HWND rightPanel_ = nullptr;
  OwnerDrawnMenus menuItems_;
  MainMenus menus_;
  sv::Menu trayMenu_;
  sv::Menu pluginsPopup_;
  HACCEL accelerators_ = nullptr;
  HIMAGELIST images_ = nullptr;
  std::vector<ListedPlugin> plugins_;
  std::vector<std::string> skins_;
  std::string skin_;
  bool showSearchPanel_ = true;
  PluginListPanel pluginList_{plugins_, [this](int index) { OpenFromList(index); }};
  ToolsBinding tools_;
  BannerGrid banner_{[this] { return exiting_; }};
  SearchPanel search_;
  skins::SkinEngine skinEngine_;
  sv::Icon icon_, smallIcon_;
  TrayIcon tray_;
  UINT taskbarCreated_ = 0;
  bool exiting_ = false;
};

}  // namespace shell
