// The single-instance check of a normal start.
#pragma once

#include <string>
#include <vector>

namespace launcher {

// When a copy of the system already runs (an update wizard first, then a
// shell, then a program of the older generation), brings its application
// window back and to the front and returns true. Skipped, returning false,
// when the arguments allow several instances.
bool ActivateRunningCopy(const std::vector<std::string>& args);

}  // namespace launcher
