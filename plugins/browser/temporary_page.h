// The page writer's way out when the control's document object cannot be
// used: the page goes into a file of the temporary folder, which the control
// then opens.
#pragma once

#include <string>

namespace svbrowser {

// Writes `html1251` to `temporaryFolder` + TemporaryPageName(pluginKey),
// deleting an old file of that name first. The path written, or empty when
// the file could not be written (then nothing is shown).
std::string WriteTemporaryPage(const std::string& temporaryFolder, const std::string& pluginKey,
                               const std::string& html1251);

}  // namespace svbrowser
