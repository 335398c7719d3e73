// Calls into a plugin that a crash inside the plugin cannot take the shell
// down with: a structured exception (an access violation and the like) that
// the plugin does not handle itself ends the call instead of the process.
//
// C++ exceptions are not covered: every module carries its own copy of the
// compiler's runtime, whose unwinder cannot see the host's frames, so a C++
// exception never leaves a plugin alive. Plugins catch their own.
#pragma once

namespace plugins {

// Runs body(context). False when a structured exception that the body left
// unhandled ended it; the body's frames are unwound and abandoned then.
bool CallContained(void (*body)(void* context), void* context);

}  // namespace plugins
