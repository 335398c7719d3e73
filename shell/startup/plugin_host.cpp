#include "plugin_host.h"

#include "file_io.h"
#include "svstring.h"
#include "wide.h"

namespace shell {

namespace {

// A plugin that refuses to close must not hold the exit for ever.
constexpr int kMaxPluginsClosedAtExit = 1000;

template <class Fn>
Fn Entry(HMODULE module, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

bool PluginHost::Load() {
  Free();
  std::wstring path = sv::Wide(sv::ProgramFolder() + kPluginHostLibrary);
  module_.Reset(LoadLibraryW(path.c_str()));
  if (!module_) return false;
  HMODULE m = module_.Get();
  addPlugin_ = Entry<AddPluginFn>(m, "AddPlugin");
  closeActivePlugin_ = Entry<IntFn>(m, "CloseActivePlugin");
  getActivePlugin_ = Entry<GetKeyFn>(m, "GetActivePlugin");
  getActivePluginForm_ = Entry<GetFormFn>(m, "GetActivePluginForm");
  updateActivePlugin_ = Entry<VoidFn>(m, "UpdateActivePlugin");
  create_ = Entry<VoidFn>(m, "TNPluginsCreate");
  create2_ = Entry<CreateOnFn>(m, "TNPluginsCreate2");
  free_ = Entry<VoidFn>(m, "TNPluginsFree");
  return true;
}

void PluginHost::Free() {
  *this = PluginHost();  // frees the library and forgets every entry point
}

int32_t PluginHost::AddPlugin(const std::string& key) { return addPlugin_ ? addPlugin_(key.c_str()) : 0; }

int32_t PluginHost::CloseActivePlugin() { return closeActivePlugin_ ? closeActivePlugin_() : 0; }

std::string PluginHost::ActivePluginKey() {
  if (!getActivePlugin_) return std::string();
  return sv::TakeOut([&](SvStr* out) { getActivePlugin_(out); });
}

HWND PluginHost::ActivePluginForm() { return getActivePluginForm_ ? getActivePluginForm_() : nullptr; }

void PluginHost::UpdateActivePlugin() {
  if (updateActivePlugin_) updateActivePlugin_();
}

void PluginHost::CloseAllPlugins() {
  for (int i = 0; i < kMaxPluginsClosedAtExit && CloseActivePlugin() != 0; ++i) {
  }
}

void PluginHost::CreateTabBar(HWND parent) {
  if (create2_)
    create2_(parent);
  else if (create_)
    create_();
}

void PluginHost::FreePlugins() {
  if (free_) free_();
}

}  // namespace shell
