#include "debug_log.h"

#include "SolvikaUtils.h"

namespace svnet {

void Log(const std::string& line) { DebugWrite(line.c_str()); }

}  // namespace svnet
