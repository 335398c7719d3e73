// Process-wide state of SolvikaUtils, settled once when the library is loaded
// (see dllmain.cpp) and read by the exports afterwards.
#pragma once

#include <windows.h>

#include <string>

namespace utils {

struct LoadState {
  std::string programDir;  // folder of the host executable, ends in "\" (empty if none)
  std::string systemDir;   // ends in "\"
  std::string tempDir;     // ends in "\"
  std::string windowsVersion;
  std::string ieVersion;
};

// Filled in while the library loads; never written afterwards.
const LoadState& State();
LoadState& MutableStateForLoad();

// "Tovrin.ini" in the program folder.
std::string MainIniPath();

}  // namespace utils
