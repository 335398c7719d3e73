// Shared helpers of the network tests: the local server that the test
// wrapper (tools/localserver/with_server.sh) started, and job handles.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "SolvikaNet.h"
#include "test_support.h"

namespace nettest {

std::string Env(const char* name);
// "127.0.0.1:<port>" of the local server; the test is skipped without one.
std::string ServerHost();
// A file below the server's root ("client/a.bin"), as a Windows path.
std::string ServerPath(const std::string& rel);
void PutServerFile(const std::string& rel, const std::string& bytes);
// Every request the server recorded so far, one JSON text each.
// Without a site: those of the main port and the fault hosts.
std::vector<std::string> Requests(const std::string& site = "");
// Requests whose text contains `part`.
std::vector<std::string> RequestsFor(const std::string& part, const std::string& site = "");
// Deterministic bytes for test files.
std::string Pattern(size_t size, unsigned seed);
// A host (another port of the local server) that applies these faults to
// every request, e.g. "short" or "status=404".
std::string FaultHost(const std::string& faults);
// A host with a root folder of its own (below the server's root, as `site`).
std::string SiteHost(const std::string& site);
// A host on which nothing listens.
std::string DeadHost();

#define REQUIRE_SERVER()                                                 \
  do {                                                                   \
    if (nettest::ServerHost().empty()) GTEST_SKIP() << "no local server"; \
  } while (0)

class JobHandle {
 public:
  JobHandle() { SVNetCreateEx(&h_); }
  ~JobHandle() { SVNetDestroy(&h_); }
  void** operator&() { return &h_; }
  void* Get() const { return h_; }
  // Polls until the job is done; false when `ms` passed first.
  bool Wait(DWORD ms = 20000);

 private:
  void* h_ = nullptr;
};

TSVNetParams Params(int method, const char* path);  // path must outlive the init

}  // namespace nettest
