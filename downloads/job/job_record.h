// The in-memory download job: what the job file stores, plus the speed text.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

namespace svdnm {

// TSVNetParams::Size of the 32-bit callers, as the job file stores it.
const int32_t kStoredParamsSize = 48;
// The job codes SVDNMCreateJob gives instead of a job: the request was
// refused, or the job's file or folder could not be made.
const uint32_t kRefusedJobCode = 0;
const uint32_t kFailedJobCode = 0xFFFFFFFFu;

// The stored part of a TSVNetParams request. Size 0 means "no request".
struct Request {
  int32_t size = 0;
  uint8_t method = 0;
  uint8_t hostMode = 0;
  bool autoExtract = false;
  bool resume = false;
  bool logReply = false;
  int32_t timeout = 0;
  std::string path, host, files, localDir, tag;
};

// One file of a job, as the information query reported it.
struct FileEntry {
  std::string name, path, host, eTag;
  int32_t offset = 0;
  int32_t bytes = 0;  // -1: length unknown
  int32_t resultCode = 0;
  double lastModified = 0;
};

struct Work;  // a running HTTP job served for this job (manager)

struct JobRecord {
  std::string title;
  uint32_t code = 0;
  uint32_t pos = 0;
  uint8_t status = 0;
  uint32_t totalLength = 0;
  uint32_t doneLength = 0;
  uint32_t currFile = 0;
  uint32_t currLength = 0;
  std::string speed;  // not stored
  Request download;
  Request ps;
  std::vector<FileEntry> files;
  uint8_t iType = 0;
  std::string iParam;
  // The text last written to (or read from) the job file, so that saving an
  // unchanged job writes nothing. Not stored.
  std::string savedText;
};

// Job code as exactly 8 upper-case hexadecimal digits.
std::string HexName(uint32_t code);

}  // namespace svdnm
