// The text rules of HTTP/1.1 replies: status line, header block, chunk-size
// lines and HTTP dates. Plain C++ with no Windows API.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace svnet {

struct HttpHeaders {
  std::vector<std::pair<std::string, std::string>> items;
  // The value of the first header of that name (case-insensitive), or null.
  const std::string* Find(std::string_view name) const;
};

struct ParsedHead {
  int status = 0;
  int minorVersion = 1;
  HttpHeaders headers;
};

bool EqualsNoCase(std::string_view a, std::string_view b);

// Parses a complete head (status line and header lines, CRLF or LF endings,
// without the empty line that ends it). False for anything that is not an
// HTTP/1.x reply.
bool ParseHead(std::string_view head, ParsedHead* out);

// A decimal Content-Length: true with the value, false when the text is not a
// plain non-negative number (signs, blanks inside, overflow beyond 2^53).
bool ParseContentLength(std::string_view text, int64_t* value);

// A chunk-size line (hex digits, optional ";extension"); false when malformed.
bool ParseChunkSize(std::string_view line, uint64_t* size);

// An HTTP date (RFC 1123, RFC 850 or asctime) as days since 30 December 1899
// with the time of day as fraction; false when unreadable.
bool ParseHttpDate(std::string_view text, double* days);

}  // namespace svnet
