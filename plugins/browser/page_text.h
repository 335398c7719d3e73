// The pages the browser window writes itself and the addresses it decides
// on: the connection-error page that replaces the control's own, the frame
// of a written page, the temporary file a page goes to when the document
// cannot be written directly. Plain functions of 1251 text, no Windows calls.
#pragma once

#include <string>
#include <string_view>

namespace svbrowser {

// The control shows its own error pages from its resources ("res://...").
bool IsBuiltInErrorPage(std::string_view url);

// The body of the connection-error page: a retry link to the current
// address and, when the start page is another one, a link back to it.
std::string ConnectionErrorBody(std::string_view currentUrl, std::string_view startUrl);
// The whole page, centred on a grey background.
std::string ConnectionErrorPage(std::string_view currentUrl, std::string_view startUrl);

// A fragment put into the page frame that the page writer uses when asked
// to wrap.
std::string WrapPage(std::string_view body);

// The name (without folder) of the temporary file for a page of plugin
// `pluginKey`: "~Solvika." + the plugin id + ".tmp.html". The server may set
// plugin keys through the settings, so the id is reduced to letters, digits,
// "-" and "_" (anything else becomes "_", and its length is bounded): the
// file always lands in the temporary folder itself.
std::string TemporaryPageName(std::string_view pluginKey);

// "file://" + path, the address of a written temporary page.
std::string FileUrl(std::string_view path);

}  // namespace svbrowser
