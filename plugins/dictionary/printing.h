// Plain lines of text on the default printer.
#pragma once

#include <string>
#include <vector>

namespace lexikon {

// Prints the 1251 lines one under another, in a fixed-pitch font, starting a
// new page where a page is full. False when there is no default printer or
// any step of the print job fails (the job is then aborted).
bool PrintToDefaultPrinter(const std::vector<std::string>& lines, const std::wstring& documentName);

}  // namespace lexikon
