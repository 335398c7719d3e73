// Shared helpers of the download manager tests: the job folder of the test
// program, job files, the manager started around a test, waiting for states.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "SolvikaDNM.h"
#include "job_record.h"
#include "test_support.h"

namespace dnmtest {

// <test program folder>\SVData\SVDNM\ (with the trailing "\").
std::string Folder();
// Empties the job folder and the manager's settings, so a test starts clean.
void ResetJobFolder();
// The uncompressed content of a job file (empty when missing or damaged).
std::string JobText(uint32_t code);
void WriteJob(const svdnm::JobRecord& job);  // as the library writes it
std::string Hex(uint32_t code);

struct JobLine {
  uint32_t code = 0;
  std::string title;
  int status = -1;
  uint32_t total = 0, done = 0;
  std::string speed;
};
std::vector<JobLine> Jobs();  // SVDNMImportJobsList, parsed
JobLine Job(uint32_t code);   // status -1 when absent

// Polls until the job reaches `status` (or one of `orElse`); false on timeout.
bool WaitStatus(uint32_t code, int status, DWORD ms = 30000);
bool WaitFor(bool (*condition)(void*), void* user, DWORD ms);
std::string ErrorLog();

// Starts the manager for the lifetime of the object.
struct Running {
  Running() { SolvikaDNMStart(); }
  ~Running() { SolvikaDNMStop(); }
};

// Download parameters for a job against host/path/files into `target`.
struct Params {
  TSVNetParams p{};
  Params(const std::string& host, const std::string& path, const std::string& files, const std::string& target);
  ~Params();
};

}  // namespace dnmtest
