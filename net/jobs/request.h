// One request of a job: one file record on one host.
#pragma once

#include <string>

#include "http/form.h"
#include "http/http_client.h"
#include "jobs/job.h"

namespace svnet {

// What the worker of one run hands to each request.
struct Run {
  Job* job;
  HttpClient* client;
  std::string handle;    // the worker's handle as the log writes it
  std::string path;      // the job's Path
  std::string localDir;  // the job's LocalDir, empty or with a trailing "\"
  Form* form = nullptr;  // the caller's form or the job's own (POST, POSTorGET)
};

// Fetches (or sends) the file of `rec` on `host`, stores the results in the
// record and the job, and tells whether the request succeeded.
bool Request(Run& run, TSVNetFileListRec* rec, const std::string& host);

}  // namespace svnet
