// The worker thread of one run of a job (argument: the Job).
#pragma once

#include <windows.h>

namespace svnet {

DWORD WINAPI JobWorker(void* job);

}  // namespace svnet
