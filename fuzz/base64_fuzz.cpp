// Base64 texts from servers and settings. Properties: decoding any text
// gives at most three bytes per four characters; any bytes encode to a text
// of the alphabet that decodes back to them.
#include <stddef.h>
#include <stdint.h>

#include "SolvikaUtils.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const fuzz::Str in(std::string_view((const char*)data, size));
  const fuzz::Str decoded(DecodeBase64(in.Get()));
  FUZZ_CHECK(decoded.View().size() <= size / 4 * 3);

  const fuzz::Str encoded(EncodeBase64(in.Get()));
  FUZZ_CHECK(encoded.View().size() == (size + 2) / 3 * 4);
  FUZZ_CHECK(encoded.View().find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/=") ==
             std::string_view::npos);
  const fuzz::Str back(DecodeBase64(encoded.Get()));
  FUZZ_CHECK(back.View() == in.View());
  return 0;
}
