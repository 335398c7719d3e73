// HTTP reply heads, Content-Length, chunk-size lines and dates as a server
// (or anyone in between) may send them.
//
// Properties: a parsed head has a three-digit status of at least 100 and
// header names without a colon; the numbers stay within their stated ranges;
// a date reads as a day within the years the reader accepts.
#include <stddef.h>
#include <stdint.h>

#include "fuzz_support.h"
#include "http_parse.h"

namespace {

// 15 decimal digits at most.
const int64_t kMaxContentLength = 999999999999999;
// 15 hexadecimal digits at most.
const uint64_t kMaxChunkSize = ((uint64_t)1 << 60) - 1;
// 1 January 1601 and 31 December 9999 as days since 30 December 1899.
const double kFirstDay = -109205;
const double kLastDay = 2958465;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view in((const char*)data, size);

  svnet::ParsedHead head;
  if (svnet::ParseHead(in, &head)) {
    FUZZ_CHECK(head.status >= 100 && head.status <= 999);
    FUZZ_CHECK(head.minorVersion >= 0 && head.minorVersion <= 9);
    for (const auto& item : head.headers.items) {
      FUZZ_CHECK(item.first.find(':') == std::string::npos);
      FUZZ_CHECK(head.headers.Find(item.first) != nullptr);
    }
    int64_t length = 0;
    if (const std::string* v = head.headers.Find("Content-Length")) svnet::ParseContentLength(*v, &length);
    double days = 0;
    if (const std::string* v = head.headers.Find("Last-Modified")) svnet::ParseHttpDate(*v, &days);
  }

  int64_t length = -1;
  if (svnet::ParseContentLength(in, &length)) FUZZ_CHECK(length >= 0 && length <= kMaxContentLength);
  uint64_t chunk = 0;
  if (svnet::ParseChunkSize(in, &chunk)) FUZZ_CHECK(chunk <= kMaxChunkSize);
  double days = 0;
  if (svnet::ParseHttpDate(in, &days)) FUZZ_CHECK(days >= kFirstDay && days < kLastDay + 1);
  return 0;
}
