// The field splitters behind every tab-separated record and "/"-separated
// host list. The first input byte is the separator, the rest the text.
//
// Properties: each call takes one field and at most one separator off the
// front, a field never holds the separator, the loop ends, and the fields
// with the separators taken reproduce the text.
#include <stddef.h>
#include <stdint.h>

#include "SolvikaUtils.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const char separator = (char)data[0];
  const std::string_view text((const char*)data + 1, size - 1);

  fuzz::Str rest(text), field;
  std::string rebuilt;
  size_t calls = 0;
  bool more = true;
  while (more) {
    FUZZ_CHECK(++calls <= text.size() + 2);
    const size_t before = rest.View().size();
    if (separator == '\t') more = _ParceTab(rest.Out(), field.Out());
    else if (separator == '/') more = _ParceHosts(rest.Out(), field.Out());
    else more = _ParceChar(rest.Out(), field.Out(), separator);
    const size_t after = rest.View().size(), taken = field.View().size();
    FUZZ_CHECK(field.View().find(separator) == std::string_view::npos);
    FUZZ_CHECK(before - after == taken || before - after == taken + 1);
    rebuilt += field.View();
    if (before - after == taken + 1) rebuilt += separator;
  }
  FUZZ_CHECK(rest.View().empty());
  FUZZ_CHECK(rebuilt == text);
  // A null rest gives no field.
  FUZZ_CHECK(!_ParceChar(nullptr, field.Out(), separator) && field.Get() == nullptr);
  return 0;
}
