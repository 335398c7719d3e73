#include "activex_form.h"

#include <memory>

#include "activex_control.h"
#include "app.h"
#include "file_io.h"
#include "guard.h"
#include "main_window.h"
#include "sv_shell.h"
#include "plugin_texts.h"
#include "text.h"
#include "wide.h"
#include "win_handles.h"

namespace plugins {

namespace {

constexpr char kIconExtension[] = ".ico";

struct FormState {
  std::unique_ptr<ActiveXControl> control;
  sv::Icon own_icon;  // the plugin's icon file, when it could be loaded
};

FormState* StateOf(HWND window) { return reinterpret_cast<FormState*>(GetWindowLongPtrW(window, GWLP_USERDATA)); }

void PostToShell(WPARAM command) {
  if (HWND main = ui::MainWindow()) PostMessageW(main, WM_SHELL_COMMAND, command, 0);
}

LRESULT CALLBACK FormProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return sv::Guard<LRESULT>(0, [&]() -> LRESULT {
    FormState* state = StateOf(window);
    switch (message) {
      case WM_CLOSE:
        // The shell closes plugins, through the host, once this handler is done.
        PostToShell(SVSHELL_CLOSE_ACTIVE_PLUGIN);
        return 0;
      case WM_MDIACTIVATE:
        if (reinterpret_cast<HWND>(lparam) == window) PostToShell(SVSHELL_PLUGIN_ACTIVATED);
        break;
      case WM_SIZE:
        if (state && state->control) state->control->FillParent();
        break;
      case WM_GETMINMAXINFO: {
        auto* limits = reinterpret_cast<MINMAXINFO*>(lparam);
        limits->ptMinTrackSize.x = kActiveXFormMinWidth;
        limits->ptMinTrackSize.y = kActiveXFormMinHeight;
        return 0;
      }
      case WM_NCDESTROY:
        delete state;
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        break;
    }
    return DefMDIChildProcW(window, message, wparam, lparam);
  });
}

void RegisterFormClass() {
  WNDCLASSW existing = {};
  if (GetClassInfoW(ui::ThisModule(), kActiveXFormClass, &existing)) return;
  WNDCLASSW wc = {};
  wc.lpfnWndProc = FormProcedure;
  wc.hInstance = ui::ThisModule();
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kActiveXFormClass;
  RegisterClassW(&wc);
}

void SetFormIcon(HWND form, FormState* state, const std::string& key) {
  std::string file = sv::ProgramFolder() + PluginId(key) + kIconExtension;
  state->own_icon.Reset(static_cast<HICON>(
      LoadImageW(nullptr, sv::Wide(file).c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE | LR_DEFAULTSIZE)));
  HICON icon = state->own_icon ? state->own_icon.Get() : ui::ApplicationIcon();
  SendMessageW(form, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  SendMessageW(form, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

// Destroys a container that got no control, through its MDI client.
void DiscardForm(HWND client, HWND form) { SendMessageW(client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(form), 0); }

}  // namespace

HWND OpenActiveXPlugin(const std::string& key, const std::string& library, const std::string& guid,
                       const std::string& caption) {
  HWND client = ui::MdiClientOf(ui::MainWindow());
  if (!client) return nullptr;
  RegisterFormClass();
  // Created hidden: the host shows it once it holds its control.
  HWND form = CreateMDIWindowW(kActiveXFormClass, sv::Wide(caption).c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                               CW_USEDEFAULT, CW_USEDEFAULT, kActiveXFormWidth, kActiveXFormHeight, client,
                               ui::ThisModule(), 0);
  if (!form) return nullptr;
  auto* state = new FormState;
  SetWindowLongPtrW(form, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
  SetFormIcon(form, state, key);

  state->control = ActiveXControl::Create(form, library, guid);
  if (!state->control) {
    DiscardForm(client, form);
    return nullptr;
  }
  state->control->FillParent();
  return form;
}

}  // namespace plugins
