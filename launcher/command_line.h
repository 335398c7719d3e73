// The command line of the running process split the way the system splits it
// (CommandLineToArgvW), without the program name.
#pragma once

#include <string>
#include <vector>

namespace launcher {

std::vector<std::wstring> ArgumentsWide();
// The same in Windows-1251, the form the rest of the system works with.
std::vector<std::string> Arguments1251();

}  // namespace launcher
