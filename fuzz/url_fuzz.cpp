// URL form encoding. Properties: decoding any text never gives more bytes
// than it has characters; any bytes encode to a text without zero bytes or
// blanks that decodes back to them.
#include <stddef.h>
#include <stdint.h>

#include "SolvikaUtils.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const fuzz::Str in(std::string_view((const char*)data, size));
  const fuzz::Str decoded(UrlDecode(in.Text()));
  FUZZ_CHECK(decoded.View().size() <= size);

  const fuzz::Str encoded(UrlEncode(in.Get()));
  FUZZ_CHECK(encoded.View().find_first_of(std::string_view(" \0", 2)) == std::string_view::npos);
  const fuzz::Str back(UrlDecode(encoded.Text()));
  FUZZ_CHECK(back.View() == in.View());
  return 0;
}
