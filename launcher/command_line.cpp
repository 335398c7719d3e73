#include "command_line.h"

#include <windows.h>
#include <shellapi.h>

#include <memory>

#include "wide.h"

namespace launcher {

namespace {

// CommandLineToArgvW hands back one LocalAlloc block holding the whole array.
struct LocalFreeDeleter {
  void operator()(LPWSTR* block) const { LocalFree(block); }
};

}  // namespace

std::vector<std::wstring> ArgumentsWide() {
  std::vector<std::wstring> args;
  int count = 0;
  std::unique_ptr<LPWSTR, LocalFreeDeleter> argv(CommandLineToArgvW(GetCommandLineW(), &count));
  if (!argv) return args;
  for (int i = 1; i < count; ++i) args.emplace_back(argv.get()[i]);  // argv[0] is the program
  return args;
}

std::vector<std::string> Arguments1251() {
  std::vector<std::string> args;
  for (const std::wstring& arg : ArgumentsWide()) args.push_back(sv::Narrow(arg));
  return args;
}

}  // namespace launcher
