#include "tools_binding.h"

#include "file_io.h"
#include "wide.h"

namespace shell {

namespace {
constexpr int kDefaultReleasedUses = 1;  // when ExecWindow does not say
}  // namespace

bool UseCount::Release(int uses) {
  if (uses_ <= 0) return false;
  uses_ -= uses;
  if (uses_ > 0) return false;
  uses_ = 0;
  return true;
}

bool ToolsBinding::Acquire() {
  if (uses_.Acquire()) module_.Reset(LoadLibraryW(sv::Wide(sv::ProgramFolder() + kToolsLibrary).c_str()));
  if (module_) return true;
  uses_.Release(1);
  return false;
}

void ToolsBinding::Release(int uses) {
  if (uses_.Release(uses)) module_.Reset();
}

FARPROC ToolsBinding::Entry(const char* name) { return module_ ? GetProcAddress(module_.Get(), name) : nullptr; }

void ToolsBinding::ExecModalWindow(int32_t code) {
  if (!Acquire()) return;
  auto fn = reinterpret_cast<void(__stdcall*)(int32_t)>(reinterpret_cast<void*>(Entry("SolvikaMain_ExecModalWindow")));
  if (fn) fn(code);
  Release(1);
}

void ToolsBinding::ExecWindow(int32_t code) {
  if (!Acquire()) return;
  auto fn = reinterpret_cast<int32_t(__stdcall*)(int32_t)>(reinterpret_cast<void*>(Entry("SolvikaMain_ExecWindow")));
  Release(fn ? fn(code) : kDefaultReleasedUses);
}

void ToolsBinding::ExecExceptWindow(const std::string& report) {
  if (!Acquire()) return;
  auto fn = reinterpret_cast<void(__stdcall*)(const char*)>(
      reinterpret_cast<void*>(Entry("SolvikaMain_ExecExceptWindow")));
  if (fn) fn(report.c_str());
  Release(1);
}

void ToolsBinding::ExecExceptWindowEx(const std::string& header, const std::string& details) {
  if (!Acquire()) return;
  auto ex = reinterpret_cast<void(__stdcall*)(const char*, const char*)>(
      reinterpret_cast<void*>(Entry("SolvikaMain_ExecExceptWindowEx")));
  if (ex) {
    ex(header.c_str(), details.c_str());
    Release(1);
    return;
  }
  Release(1);
  ExecExceptWindow(header);
}

}  // namespace shell
