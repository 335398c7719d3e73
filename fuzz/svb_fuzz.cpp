// The page-definition (.svb) reader and the registration built on it.
// Input: the file text.
//
// Properties: no value read holds a line break (it would start a line of
// its own in "Tovrin.ini"); a page written back as section "svb" reads back
// to the same page; registration always writes "Library" and "Version"
// first, fills every empty value and keeps every present one.
#include <stddef.h>
#include <stdint.h>

#include <string>

#include "fuzz_support.h"
#include "page_definition.h"

namespace {

// Blanks may stay inside quotes, but no value may hold a line break.
bool CleanValue(const std::string& v) { return v.find_first_of("\r\n") == std::string::npos; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const svbrowser::PageDefinition page = svbrowser::ReadPageDefinition(std::string_view((const char*)data, size));
  for (const char* key : svbrowser::kPageKeys) FUZZ_CHECK(CleanValue(page.Value(key)));

  // Values that a profile file can hold as they are (no quotes around, no
  // comment start) must come back unchanged.
  auto plain = [](const std::string& v) {
    if (!v.empty() && (v.front() == ' ' || v.front() == '\t' || v.back() == ' ' || v.back() == '\t')) return false;
    return v.empty() || ((v.front() != '"' || v.back() != '"') && (v.front() != '\'' || v.back() != '\'') &&
                         v.front() != ';' && v.front() != '[');
  };
  if (plain(page.name) && plain(page.section) && plain(page.topic) && plain(page.url)) {
    std::string text = "[svb]\r\nName=" + page.name + "\r\nSection=" + page.section + "\r\nTopic=" + page.topic +
                       "\r\nURL=" + page.url + "\r\n";
    const svbrowser::PageDefinition again = svbrowser::ReadPageDefinition(text);
    FUZZ_CHECK(again.name == page.name && again.section == page.section && again.topic == page.topic &&
               again.url == page.url);
  }

  // Half of the values present: registration fills exactly the others.
  bool toggle = size % 2 == 0;
  auto current = [&](const char* key) {
    toggle = !toggle;
    return toggle ? std::string("kept") : std::string();
  };
  auto writes = svbrowser::RegistrationWrites(page, current);
  FUZZ_CHECK(writes.size() == 4);
  FUZZ_CHECK(writes[0].key == "Library" && writes[0].value == svbrowser::kLibraryName);
  FUZZ_CHECK(writes[1].key == "Version" && writes[1].value == "111");
  for (size_t i = 2; i < writes.size(); ++i) FUZZ_CHECK(writes[i].value == page.Value(writes[i].key));
  return 0;
}
