// The engine's lines in the program's debug log (DebugWrite of the utility
// library).
#pragma once

#include <string>

namespace svnet {

void Log(const std::string& line);

}  // namespace svnet
