#include "ini_text.h"

#include "cp1251_case.h"

namespace sv {

namespace {

std::string_view Trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
  return s.substr(b, e - b);
}

// The name of a "[name]" header line, or false for any other line.
bool HeaderName(std::string_view line, std::string_view* name) {
  std::string_view t = Trim(line);
  if (t.empty() || t[0] != '[') return false;
  size_t close = t.find(']');
  *name = Trim(t.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
  return true;
}

// Splits "key = value"; false for lines without "=".
bool KeyLine(std::string_view line, std::string_view* key, std::string_view* value) {
  size_t eq = line.find('=');
  if (eq == std::string_view::npos) return false;
  *key = Trim(line.substr(0, eq));
  *value = Trim(line.substr(eq + 1));
  return true;
}

// A value without the matching quotes around it.
std::string_view Unquoted(std::string_view v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) return v.substr(1, v.size() - 2);
  return v;
}

}  // namespace

bool SameName1251(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (sv::Upper1251((unsigned char)a[i]) != sv::Upper1251((unsigned char)b[i])) return false;
  return true;
}

IniText::IniText(std::string_view bytes) {
  size_t pos = 0;
  while (pos < bytes.size()) {
    size_t nl = bytes.find('\n', pos);
    size_t end = nl == std::string_view::npos ? bytes.size() : nl;
    std::string_view line = bytes.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines_.emplace_back(line);
    pos = nl == std::string_view::npos ? bytes.size() : nl + 1;
  }
}

std::string IniText::Bytes() const {
  // Blank lines at the very end (left by a removed last section) are dropped.
  size_t count = lines_.size();
  while (count > 0 && Trim(lines_[count - 1]).empty()) --count;
  std::string out;
  for (size_t i = 0; i < count; ++i) {
    const std::string& line = lines_[i];
    out += line;
    out += "\r\n";
  }
  return out;
}

int IniText::FindSection(std::string_view section) const {
  std::string_view wanted = Trim(section), name;
  for (size_t i = 0; i < lines_.size(); ++i)
    if (HeaderName(lines_[i], &name) && SameName1251(name, wanted)) return (int)i;
  return -1;
}

int IniText::SectionEnd(int header) const {
  std::string_view name;
  int i = header + 1;
  while (i < (int)lines_.size() && !HeaderName(lines_[i], &name)) ++i;
  return i;
}

int IniText::FindKey(int header, std::string_view key) const {
  std::string_view wanted = Trim(key), k, v;
  int end = SectionEnd(header);
  for (int i = header + 1; i < end; ++i)
    if (KeyLine(lines_[i], &k, &v) && SameName1251(k, wanted)) return i;
  return -1;
}

bool IniText::Find(std::string_view section, std::string_view key, std::string* value) const {
  int header = FindSection(section);
  if (header < 0) return false;
  int line = FindKey(header, key);
  if (line < 0) return false;
  std::string_view k, v;
  KeyLine(lines_[line], &k, &v);
  value->assign(Unquoted(v));
  return true;
}

bool IniSection::Find(std::string_view key, std::string* value) const {
  std::string_view wanted = Trim(key);
  for (const auto& entry : entries) {
    if (SameName1251(entry.first, wanted)) {
      *value = entry.second;
      return true;
    }
  }
  return false;
}

std::vector<IniSection> IniText::Sections() const {
  std::vector<IniSection> sections;
  std::string_view name, k, v;
  for (const std::string& line : lines_) {
    if (HeaderName(line, &name)) {
      sections.push_back(IniSection{std::string(name), {}});
    } else if (!sections.empty() && KeyLine(line, &k, &v)) {
      sections.back().entries.emplace_back(std::string(k), std::string(Unquoted(v)));
    }
  }
  return sections;
}

std::vector<std::string> IniText::SectionNames() const {
  std::vector<std::string> names;
  std::string_view name;
  for (const std::string& line : lines_)
    if (HeaderName(line, &name)) names.emplace_back(name);
  return names;
}

void IniText::Set(std::string_view section, std::string_view key, std::string_view value) {
  std::string entry = std::string(Trim(key)) + "=" + std::string(value);
  int header = FindSection(section);
  if (header < 0) {
    // A new section goes at the end, set off from the text above by a blank line.
    while (!lines_.empty() && Trim(lines_.back()).empty()) lines_.pop_back();
    if (!lines_.empty()) lines_.emplace_back();
    lines_.push_back("[" + std::string(Trim(section)) + "]");
    lines_.push_back(entry);
    return;
  }
  int line = FindKey(header, key);
  if (line >= 0) {
    // The key keeps its spelling; only the value changes.
    std::string_view k, v;
    KeyLine(lines_[line], &k, &v);
    lines_[line] = std::string(k) + "=" + std::string(value);
    return;
  }
  // A new key follows the last non-blank line of its section.
  int at = SectionEnd(header);
  while (at > header + 1 && Trim(lines_[at - 1]).empty()) --at;
  lines_.insert(lines_.begin() + at, entry);
}

bool IniText::DeleteKey(std::string_view section, std::string_view key) {
  int header = FindSection(section);
  if (header < 0) return false;
  int line = FindKey(header, key);
  if (line < 0) return false;
  lines_.erase(lines_.begin() + line);
  return true;
}

bool IniText::DeleteSection(std::string_view section) {
  int header = FindSection(section);
  if (header < 0) return false;
  lines_.erase(lines_.begin() + header, lines_.begin() + SectionEnd(header));
  return true;
}

}  // namespace sv
