// Hands the run over to the shell library or to the update wizard library,
// each through its start function, with the launcher's own messages when the
// library or its start function is missing.
#pragma once

namespace launcher {

// Runs the shell to its end. When it cannot be started, asks whether to
// update the program and, if so, starts an update run.
void StartShell();

// Runs the update wizard to its end (or tells that it cannot be started) and
// then starts a copy that restarts the program in place of any still running.
void RunUpdateWizard();

}  // namespace launcher
