// The INI reader and writer. Input: the file text, then (after zero bytes)
// a section, a key and a value that are written into it.
//
// Properties: writing the text out and reading it again gives the same text;
// a value that was set reads back (also after a write and read of the file)
// unless its names cannot be stored in a line; a removed key is gone.
#include <stddef.h>
#include <stdint.h>

#include "fuzz_support.h"
#include "ini_text.h"

namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool HasAny(std::string_view s, std::string_view chars) { return s.find_first_of(chars) != std::string_view::npos; }

// What Find gives for a stored value: trimmed, matching quotes removed.
std::string Expected(std::string_view value) {
  std::string_view v = Trim(value);
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) v = v.substr(1, v.size() - 2);
  return std::string(v);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view parts[4];
  fuzz::SplitInput(std::string_view((const char*)data, size), '\0', parts, 4);
  const std::string_view text = parts[0], section = parts[1], key = parts[2], value = parts[3];

  sv::IniText ini(text);
  const std::string bytes = ini.Bytes();
  FUZZ_CHECK(sv::IniText(bytes).Bytes() == bytes);
  for (const std::string& name : ini.SectionNames()) {
    std::string found;
    ini.Find(name, key, &found);
  }

  // Names that a line can hold: no line breaks, a section without "]", a key
  // without "=" that does not read as a header.
  if (HasAny(section, "\r\n]") || HasAny(key, "\r\n=") || HasAny(value, "\r\n")) return 0;
  if (!Trim(key).empty() && Trim(key)[0] == '[') return 0;
  ini.Set(section, key, value);
  std::string found;
  FUZZ_CHECK(ini.Find(section, key, &found));
  FUZZ_CHECK(found == Expected(value));
  sv::IniText reread(ini.Bytes());
  found.clear();
  FUZZ_CHECK(reread.Find(section, key, &found));
  FUZZ_CHECK(found == Expected(value));
  FUZZ_CHECK(sv::IniText(reread.Bytes()).Bytes() == reread.Bytes());

  // A key that was there once is gone after its removal.
  sv::IniText single(std::string("[") + std::string(Trim(section)) + "]\r\n" + std::string(key) + "=" +
                        std::string(value) + "\r\n");
  FUZZ_CHECK(single.DeleteKey(section, key));
  FUZZ_CHECK(!single.Find(section, key, &found));
  FUZZ_CHECK(single.DeleteSection(section));
  FUZZ_CHECK(single.SectionNames().empty());
  return 0;
}
