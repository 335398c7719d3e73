// RegisterPlugin's work: every page-definition file of the program folder
// becomes a plugin section of "Tovrin.ini".
#pragma once

#include <string>

namespace svbrowser {

// `programFolder` ends in "\".
void RegisterPages(const std::string& programFolder);

}  // namespace svbrowser
