// Ends every running copy of the system: the shell is asked to exit, and
// whatever application window is still there afterwards has its process
// terminated.
#pragma once

namespace launcher {

void CloseAllCopies();

}  // namespace launcher
