#include "state.h"

namespace utils {

static LoadState g_state;

const LoadState& State() { return g_state; }
LoadState& MutableStateForLoad() { return g_state; }

std::string MainIniPath() { return g_state.programDir + "Tovrin.ini"; }

}  // namespace utils
