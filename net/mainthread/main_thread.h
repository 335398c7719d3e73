#pragma once

#include <cstdint>
#include <string>

namespace svnet {

struct Job;
// Carries out the commands of a server reply (program version `version`).
void ProcessReply(const std::string& reply, uint16_t version);
// Ends a running job's transfer without finalising it (any thread).
void AbortJob(Job* job);

}  // namespace svnet
