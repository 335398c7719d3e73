// The job's file records (TSVNetFileListRec), built from the file list text.
#pragma once

#include <string>

#include "jobs/job.h"

namespace svnet {

// The bare file name of a remote path: after its last "/", cut before the
// first "?".
std::string FileNameOf(const std::string& remotePath);
// Builds the job's records from its (already rewritten, tab-separated)
// Files: path, preferred host and offset of each entry; an empty Files gives
// one empty record. Throws std::bad_alloc when memory runs out.
void BuildFileList(Job* job);
// Frees every record and empties the list.
void FreeFileList(Job* job);
// Record `index` of the list.
TSVNetFileListRec* FileRecord(SvArray list, int32_t index);

}  // namespace svnet
