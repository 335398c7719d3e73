// Tidies the program folder at start: files that a finished restart or an
// older installation left behind, and the settings of discontinued plugins.
#pragma once

namespace shell {

// Removes the leftover files from the program folder and the discontinued
// plugins' sections from "Tovrin.ini". Failures are ignored.
void CleanUpProgramFolder();

}  // namespace shell
