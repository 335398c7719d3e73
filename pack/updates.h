// Update packages waiting in the program folder and the delete lists, applied
// at start. The folder is a parameter so that the whole sequence can also run
// on a folder other than the host program's.
#pragma once

#include <string>

namespace svpu {

// Everything SolvikaStart does, for the program folder `programDir` (ending
// in "\"). Returns only when done, or ends the process when an updater
// program of a package takes over.
void ApplyPendingUpdates(const std::string& programDir);

// One package (full path); true when it was applied and deleted.
bool ApplyPackage(const std::string& programDir, const std::string& package);

// Deletes what the "*.dlt" lists in `folder` name (paths relative to the
// program folder), then the lists. False when a list cannot be read; the
// lists after it stay.
bool ProcessDeleteLists(const std::string& programDir, const std::string& folder);

}  // namespace svpu
