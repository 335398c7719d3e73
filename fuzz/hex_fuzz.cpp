// The plain hexadecimal form of request values. Properties: reading any
// text gives at most one byte per two characters; any bytes written as
// hexadecimal read back as themselves.
#include <stddef.h>
#include <stdint.h>

#include "SolvikaUtils.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const fuzz::Str in(std::string_view((const char*)data, size));
  // The reader takes a zero-terminated text: up to the first zero byte.
  const fuzz::Str decoded(HTTP2Str(in.Text()));
  FUZZ_CHECK(decoded.View().size() <= size / 2);

  const fuzz::Str encoded(Str2HTTP(in.Get()));
  FUZZ_CHECK(encoded.View().size() == 2 * size);
  FUZZ_CHECK(encoded.View().find_first_not_of("0123456789abcdef") == std::string_view::npos);
  const fuzz::Str back(HTTP2Str(encoded.Text()));
  FUZZ_CHECK(back.View() == in.View());
  return 0;
}
