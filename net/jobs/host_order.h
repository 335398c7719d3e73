// The order in which a request tries its hosts. Plain C++ with no Windows API.
#pragma once

#include <string>

namespace svnet {

// `first` in front of the "/"-separated `list`, and every later copy of it
// dropped (host names compared ignoring ASCII case), so that a host that
// does not answer costs one time-out, not two. An empty `first` gives the
// list as it is; empty names in the list stay (they are skipped when hosts
// are tried).
std::string PutHostFirst(const std::string& first, const std::string& list);

}  // namespace svnet
