#include "start.h"

#include <windows.h>

#include <string>

#include "app.h"
#include "cleanup.h"
#include "file_io.h"
#include "locale_fixup.h"
#include "main_form.h"
#include "message_box.h"
#include "plugin_host.h"
#include "popup_form.h"
#include "shell_state.h"
#include "splash_binding.h"
#include "stack_trace.h"
#include "svstring.h"
#include "wide.h"
#include "SolvikaDNM.h"
#include "SolvikaMain.h"
#include "SolvikaNet.h"
#include "SolvikaUtils.h"

namespace shell {

namespace {

// The program version from which the utility library answers every version
// question of the process; handed over through the network engine's start.
constexpr uint16_t kProgramVersion = 418;
constexpr char kApplicationTitle[] = "Solvika";
constexpr uint8_t kJobsWaitingKind = 3;  // SVDNMGetParams: jobs waiting in the queue
constexpr int32_t kOptionsWindow = 1;      // dialogs library window code
constexpr int32_t kOpenDownloadsPlugin = 20;  // command dispatcher code

ShellState g_shell;

std::string ClientNumber() {
  return sv::TakeOut([](SvStr* out) { GetProgramNum(out); });
}

bool BrowserUsesProxy() {
  bool used = false;
  sv::TakeOut([&](SvStr* host) {
    sv::TakeOut([&](SvStr* port) { used = SVGetIEProxyParams(host, port) != 0; });
  });
  return used;
}

void BindPluginHost(PluginHost& plugins) {
  if (plugins.Load()) {
    DebugWrite("=== Open library TovrinPlugins.dll");
    return;
  }
  std::string text = sv::Ru(
      u8"Не найден модуль: TovrinPlugins.dll\rПрограмма может работать некорректно!\rОбновить программу?");
  if (ui::MessageBox1251(ui::ApplicationWindow(), text, "", MB_YESNO | MB_ICONERROR) == IDYES)
    SVShellExe("", "-update");
}

void RunMessageLoop(MainForm& mainForm) {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (mainForm.TranslateAccelerators(&message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

// Everything the program does once its window is up and the loop runs.
struct DelayedStart {
  SplashBinding& splash;
  MainForm& mainForm;
  PopupForm& popup;
  PluginHost& plugins;

  void operator()() const {
    splash.Close();
    HWND main = mainForm.Handle();
    if (GetIniInt("Solvika", "ShowProxy", 1) == 1 && BrowserUsesProxy())
      PostMessageW(main, WM_SHELL_COMMAND, SVSHELL_MODAL_WINDOW, kOptionsWindow);
    if (popup.Create()) g_shell.popup = &popup;
    plugins.CreateTabBar(mainForm.BottomPanel());
    mainForm.Relayout();
    SetForegroundWindow(main);
    mainForm.Restyle();
    std::string localState = sv::ProgramFolder() + "SolvikaLC.ini";
    if (GetCustomIniInt("main", "ContentViewAsList", localState.c_str(), 1) == 1) mainForm.SetPluginListStyle(true);
    DebugWrite("SVMain > LoadPlugins > LVRefresh");
    mainForm.RefreshPluginList();
    if (SVDNMGetParams(kJobsWaitingKind) != 0)
      PostMessageW(main, WM_SHELL_COMMAND, SVSHELL_RUN_COMMAND, kOpenDownloadsPlugin);
  }
};

}  // namespace

ShellState& Shell() { return g_shell; }

void RunProgram() {
  CleanUpProgramFolder();
  FixLocaleAndCodePage();

  ui::ApplicationObject application;
  application.Create(kApplicationTitle);
  SplashBinding splash;
  splash.Show(application.Handle());
  EnableStackTracing();

  SolvikaNetStart(application.Handle(), kProgramVersion);
  SolvikaDNMStart();
  PluginHost plugins;
  BindPluginHost(plugins);

  {
    MainForm* mainWindow = nullptr;
    PopupForm popup([&](const std::string& pluginKey) {
      if (mainWindow) SendMessageW(mainWindow->Handle(), WM_SHELL_COMMAND, SVSHELL_RESTORE, 0);
      if (!pluginKey.empty()) plugins.AddPlugin(pluginKey);
    });
    // The delayed step refers to the window it belongs to; it runs only
    // once the window exists.
    MainForm mainForm(application, plugins, DelayedStart{splash, mainForm, popup, plugins});
    mainWindow = &mainForm;
    g_shell.mainForm = &mainForm;
    g_shell.plugins = &plugins;
    // Without a main window there is nothing to quit from: no loop then.
    if (mainForm.Create(MainFormCaption(ClientNumber()))) RunMessageLoop(mainForm);

    splash.Close();
    if (plugins.Loaded()) {
      plugins.Free();
      DebugWrite("=== Close library TovrinPlugins.dll");
    }
    SolvikaDNMStop();
    SolvikaNetStop();
    g_shell = ShellState();
  }
  DisableStackTracing();
}

}  // namespace shell
