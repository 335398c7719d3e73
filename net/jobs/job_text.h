// The words of a job in the debug log.
#pragma once

#include <windows.h>

#include <string>

namespace svnet {

// "NONE", "GET", "POST", "HEAD", "PREV206", "POSTorGET".
const char* MethodName(int method);
// The worker's thread handle as 8 upper-case hexadecimal digits.
std::string HandleText(HANDLE thread);

}  // namespace svnet
