// Opens an address in a new window of the web browser with extra request
// headers (the referrer of banner clicks and searches): through the
// browser's automation object, which takes headers and a target frame; where
// that object is missing, through the system's default browser without them.
// A moment later the browser window (class "IEFrame") is brought to the front.
#pragma once

#include <string>

namespace shell {

constexpr unsigned kBrowserToFrontMs = 250;

// True when the automation object took the address.
bool OpenInNewBrowserWindow(const std::string& address, const std::string& headers,
                            const std::string& targetFrame = std::string());

}  // namespace shell
