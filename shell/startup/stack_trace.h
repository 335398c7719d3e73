// Stack tracing: once switched on, the call stack of every error exception
// raised in the process is recorded when it is raised (before any handler
// runs), so that an error report can list where it came from.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace shell {

void EnableStackTracing();
void DisableStackTracing();

// The frames recorded for the last error exception, innermost first, one
// readable line each: "Module.dll+0x1a2b"; empty when none was recorded.
std::vector<std::string> LastExceptionStack();

// One frame's line from its module's file name (a path or a bare name) and
// the offset of the address in that module.
std::string FormatStackFrame(const std::string& modulePath, uintptr_t offset);

}  // namespace shell
