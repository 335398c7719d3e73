// The life of a job between its exports: init, start of a run, stop,
// finalising. The job exports check their arguments and call these.
#pragma once

#include <cstdint>
#include <string>

#include "jobs/job.h"

namespace svnet {

// A new idle job, or null when memory is exhausted; DestroyJob frees it.
Job* CreateJob();
void DestroyJob(Job* job);
// True when the job has no worker or its worker has ended.
bool WorkerDone(Job* job);
// SVNetInitEx on an existing job: SVNET_OK, SVNET_ERR_PARAMS, SVNET_ERR_STATE.
int32_t InitJob(Job* job, const TSVNetParams& params);
// SVNetRun on a ready job with a method and a path: prepares the parameters,
// adds the standard form fields and starts the worker.
void StartRun(Job* job);
// Ends a running job's transfer without waiting or finalising (any thread).
void AbortJob(Job* job);
// Ends a running worker (disconnect, then kill after 10 s) and finalises.
void StopJob(Job* job);
// Releases the run's resources; the job becomes idle. Only when the worker has ended.
void FinalizeJob(Job* job);

// A folder with "\" separators and a trailing "\"; empty stays empty.
std::string FolderWithSlash(std::string folder);

}  // namespace svnet
