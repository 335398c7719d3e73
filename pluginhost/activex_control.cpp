#include "activex_control.h"

#include <objbase.h>
#include <ole2.h>

#include "app.h"
#include "file_io.h"
#include "native_plugin.h"
#include "plugin_texts.h"
#include "wide.h"

namespace plugins {

namespace {

constexpr wchar_t kContainerLibrary[] = L"atl.dll";
constexpr wchar_t kContainerClass[] = L"AtlAxWin";
constexpr char kRegisterName[] = "DllRegisterServer";
constexpr char kUnregisterName[] = "DllUnregisterServer";

using ContainerInit = BOOL(WINAPI*)();
using ContainerGetControl = HRESULT(WINAPI*)(HWND, IUnknown**);

// The platform's control container, loaded once for the process: its window
// class stays registered for every later control.
HMODULE ContainerLibrary() {
  static HMODULE container = [] {
    OleInitialize(nullptr);
    HMODULE module = LoadLibraryW(kContainerLibrary);
    auto init = module ? reinterpret_cast<ContainerInit>(GetProcAddress(module, "AtlAxWinInit")) : nullptr;
    if (init) init();
    return module;
  }();
  return container;
}

bool ParseGuid(const std::string& text, CLSID* clsid) {
  std::wstring wide = sv::Wide(text);
  return !wide.empty() && CLSIDFromString(&wide[0], clsid) == NOERROR;
}

}  // namespace

std::unique_ptr<ActiveXControl> ActiveXControl::Create(HWND parent, const std::string& library,
                                                       const std::string& guid_text) {
  CLSID clsid = {};
  if (!ParseGuid(guid_text, &clsid)) return nullptr;
  std::unique_ptr<ActiveXControl> control(new ActiveXControl);
  if (!control->LoadLibraryChecked(library)) return nullptr;
  auto registration = reinterpret_cast<RegistrationEntry>(GetProcAddress(control->library_.Get(), kRegisterName));
  if (registration() != S_OK) {
    ShowPluginError(ActiveXRegistrationText());
    return nullptr;
  }
  if (!control->CreateWindowFor(parent, clsid)) return nullptr;
  return control;
}

bool ActiveXControl::LoadLibraryChecked(const std::string& library) {
  const std::string path = LibraryPath(library);
  if (!sv::FileExists(path)) {
    ShowPluginError(ActiveXMissingLibraryText(library));
    return false;
  }
  library_.Reset(LoadLibraryW(sv::Wide(path).c_str()));
  if (!library_) {
    ShowPluginError(ActiveXLoadFailureText(library));
    return false;
  }
  auto registration = GetProcAddress(library_.Get(), kRegisterName);
  unregister_ = reinterpret_cast<RegistrationEntry>(GetProcAddress(library_.Get(), kUnregisterName));
  if (!registration || !unregister_) {
    ShowPluginError(ActiveXEntryPointText(library));
    return false;
  }
  return true;
}

bool ActiveXControl::CreateWindowFor(HWND parent, const CLSID& clsid) {
  HMODULE container = ContainerLibrary();
  if (!container) return false;
  wchar_t clsid_text[64] = {};
  if (!StringFromGUID2(clsid, clsid_text, 64)) return false;
  RECT area = {};
  GetClientRect(parent, &area);
  window_ = CreateWindowExW(0, kContainerClass, clsid_text, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, area.right,
                            area.bottom, parent, nullptr, ui::ThisModule(), nullptr);
  if (!window_) return false;
  // The container window exists even when the control could not be made.
  auto get_control = reinterpret_cast<ContainerGetControl>(GetProcAddress(container, "AtlAxGetControl"));
  IUnknown* unknown = nullptr;
  if (!get_control || get_control(window_, &unknown) != S_OK || !unknown) {
    DestroyWindow(window_);
    window_ = nullptr;
    return false;
  }
  unknown->Release();
  return true;
}

void ActiveXControl::FillParent() {
  if (!window_) return;
  RECT area = {};
  GetClientRect(GetParent(window_), &area);
  MoveWindow(window_, 0, 0, area.right, area.bottom, TRUE);
}

ActiveXControl::~ActiveXControl() {
  if (window_ && IsWindow(window_)) DestroyWindow(window_);
  if (library_ && unregister_) unregister_();
}

}  // namespace plugins
