// Hands a plugin's download to the download manager: through the component
// chooser SolvikaDNF.dll when it is there (it asks the user how to load),
// else straight to SolvikaDNM.
#pragma once

#include <stdint.h>

#include "catalogue_model.h"

namespace patchkeeper {

// What the creating call gave: the new job's code, 0 when refused or
// cancelled, 0xFFFFFFFF when the job could not be stored.
uint32_t CreateInstallJob(const sv::catalogue::Entry& plugin);

}  // namespace patchkeeper
