// The text inside a job file: a "Hash" line with the MD5 digest of the body,
// then "key<TAB>value" lines, each ended by a line feed. The job store
// compresses it with zlib.
#pragma once

#include <string>
#include <string_view>

#include "job_record.h"

namespace svdnm {

// The body lines (everything after the "Hash" line).
std::string BuildJobBody(const JobRecord& job);
// "Hash\t<digest>\n" + body: the whole uncompressed content of a job file.
std::string BuildJobText(const JobRecord& job);
// Reads a whole uncompressed job file into `job` (which starts zero-filled).
// False when the first line is not a "Hash" line whose digest matches: the
// file is damaged and nothing of it may be trusted.
bool ParseJobText(std::string_view text, JobRecord& job);

// Digest text of 0x02 + body + 0x03.
std::string BodyDigest(std::string_view body);

// Numbers are read with sv::ParseDecimal (decimal.h): low 32 bits kept,
// "-1" and "4294967295" alike, anything that is not a number reads as 0.
// " 3.95930000000000E+0004": 15 significant digits, a blank in front of values
// that are not negative, a signed four-digit exponent, "." as the separator.
std::string FormatLastModified(double value);
double ParseLastModified(std::string_view text);

}  // namespace svdnm
