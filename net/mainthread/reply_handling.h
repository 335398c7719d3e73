// Carrying out a server reply of the main thread's queries.
#pragma once

#include <cstdint>
#include <string>

namespace svnet {

// Obeys the reply's commands (host lists, client identifier, settings),
// saves the configuration, and when the reply offers a version newer than
// `version` asks the user (unless told not to) and starts the update.
void ProcessReply(const std::string& reply, uint16_t version);

}  // namespace svnet
