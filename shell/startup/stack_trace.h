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

// Records the calling thread's stack now, as the stack of the exception
// being raised (C++ throws, which raise no system exception, come here),
// leaving out `skip` frames of the caller's own. Only while tracing is on.
void RecordThrowStack(int skip);

// The line of one code address: module name, offset and, where the module
// exports a function at or below it, that function's name and offset.
std::string StackLineFor(const void* address);

// One frame's line from its module's file name (a path or a bare name) and
// the offset of the address in that module.
std::string FormatStackFrame(const std::string& modulePath, uintptr_t offset,
                             const std::string& function = std::string(), uintptr_t functionOffset = 0);

}  // namespace shell
