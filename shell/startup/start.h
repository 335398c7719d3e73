// The whole run of the program: start-up, message loop and shutdown.
#pragma once

namespace shell {

// Returns when the user has quit and everything has stopped.
void RunProgram();

}  // namespace shell
