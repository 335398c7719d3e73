#include "temporary_page.h"

#include <windows.h>

#include "file_io.h"
#include "page_text.h"
#include "wide.h"

namespace svbrowser {

std::string WriteTemporaryPage(const std::string& temporaryFolder, const std::string& pluginKey,
                               const std::string& html1251) {
  if (temporaryFolder.empty()) return std::string();
  std::string path = sv::WithSlash(temporaryFolder) + TemporaryPageName(pluginKey);
  DeleteFileW(sv::Wide(path).c_str());
  if (!sv::WriteFileReplacing(path, html1251)) return std::string();
  return path;
}

}  // namespace svbrowser
