// Job files on disk: the job folder "SVData\SVDNM\" of the program folder,
// one compressed job file per job, its download folder and the job codes.
#pragma once

#include <string>
#include <vector>

#include "job_record.h"

namespace svdnm {

// Program folder + "SVData\SVDNM\" (with the trailing "\").
std::string JobFolder();
// Creates the job folder (and "SVData") when missing.
bool EnsureJobFolder();
// Job folder + hex name + "\": where the transfer writes the job's files.
std::string DownloadFolder(uint32_t code);
std::string JobFilePath(uint32_t code);

// Writes the job file: compressed, through a temporary file that replaces the
// old one in one step, so a crash never leaves a half-written job. A job
// whose text has not changed since its last save is not written again.
// Failures are silent; the next save tries again.
void SaveJob(JobRecord& job);
// Reads every job file of the job folder. Damaged files are deleted with the
// job's folders; files that cannot be opened are left alone. Leftover
// temporary files of an interrupted save are removed.
std::vector<JobRecord*> LoadJobs();
// Next free job code (never 0 or 0xFFFFFFFF, never one whose file or folder
// exists), remembered as "LastHandle" in SolvikaLC.ini.
uint32_t AllocateCode();
// Removes the job's folders and, unless `keepJobFile`, its job file. `name`
// is the hex name with or without ".svdnm".
void DeleteJobFiles(const std::string& name, bool keepJobFile);

}  // namespace svdnm
