// An INI file held as its lines, with the lookups and edits of Windows
// profile files: section and key names match case-insensitively (Windows-1251
// letters, Cyrillic included), names and values are trimmed, a value in
// matching quotes loses them, a missing section or key is created on write.
// No Windows API here, so the logic can be tested and fuzzed natively.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sv {

// Case-insensitive equality of two Windows-1251 names.
bool SameName1251(std::string_view a, std::string_view b);

// One section as a whole, for readers that walk every section: its entries
// in file order, values as Find gives them.
struct IniSection {
  std::string name;
  std::vector<std::pair<std::string, std::string>> entries;
  // The first entry of `key` (case-insensitive), as IniText::Find.
  bool Find(std::string_view key, std::string* value) const;
};

class IniText {
 public:
  // Lines may end in CR LF or LF; a final line without a break is kept.
  explicit IniText(std::string_view bytes);

  // The file content; every line ends in CR LF.
  std::string Bytes() const;

  bool Find(std::string_view section, std::string_view key, std::string* value) const;
  std::vector<std::string> SectionNames() const;
  // Every section in file order, read in one pass (a name may repeat; Find
  // reads the first section of a name).
  std::vector<IniSection> Sections() const;

  void Set(std::string_view section, std::string_view key, std::string_view value);
  // Returns whether anything was removed.
  bool DeleteKey(std::string_view section, std::string_view key);
  bool DeleteSection(std::string_view section);

 private:
  // Index of the header line of a section, or -1.
  int FindSection(std::string_view section) const;
  // End of the section that starts at header line `header` (next header or end).
  int SectionEnd(int header) const;
  int FindKey(int header, std::string_view key) const;

  std::vector<std::string> lines_;
};

}  // namespace sv
