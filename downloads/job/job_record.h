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
  int32_t Size = 0;
  uint8_t Method = 0;
  uint8_t HostMode = 0;
  bool AutoExtract = false;
  bool Resume = false;
  bool LogReply = false;
  int32_t Timeout = 0;
  std::string Path, Host, Files, LocalDir, Tag;
};

// One file of a job, as the information query reported it.
struct FileEntry {
  std::string Name, Path, Host, ETag;
  int32_t Offset = 0;
  int32_t Bytes = 0;  // -1: length unknown
  int32_t ResultCode = 0;
  double LastModified = 0;
};

struct Work;  // a running HTTP job served for this job (manager)

struct JobRecord {
  std::string Title;
  uint32_t Code = 0;
  uint32_t Pos = 0;
  uint8_t Status = 0;
  uint32_t TotalLength = 0;
  uint32_t DoneLength = 0;
  uint32_t CurrFile = 0;
  uint32_t CurrLength = 0;
  std::string Speed;  // not stored
  Request Download;
  Request PS;
  std::vector<FileEntry> Files;
  uint8_t IType = 0;
  std::string IParam;
  // The text last written to (or read from) the job file, so that saving an
  // unchanged job writes nothing. Not stored.
  std::string SavedText;
};

// Job code as exactly 8 upper-case hexadecimal digits.
std::string HexName(uint32_t code);

}  // namespace svdnm
