#include "dump_format.h"

#include <ctype.h>

namespace dump {

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsSpace(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsSpace(s.back())) s.remove_suffix(1);
  return s;
}

}  // namespace

std::string BackupBaseName(std::string_view target) {
  std::string base(Trim(target));
  constexpr size_t kExeLength = sizeof(kExtractorExtension) - 1;
  if (base.size() >= kExeLength) {
    std::string tail = base.substr(base.size() - kExeLength);
    for (char& c : tail) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    if (tail == ".EXE") base.resize(base.size() - kExeLength);
  }
  return base;
}

bool NeedsFlatName(std::string_view relative) { return relative.find_first_of("\\/~") != std::string_view::npos; }

std::string FlatName(std::string_view relative) {
  std::string flat;
  flat.reserve(relative.size() + 8);
  for (char c : relative) {
    if (c == '\\' || c == '/') flat += '~';
    else if (c == '~') flat += "~.~";
    else flat += c;
  }
  return flat;
}

std::string EntryName(std::string_view relative) {
  return NeedsFlatName(relative) ? FlatName(relative) : std::string(relative);
}

std::string ListLine(const ListedFile& file) { return file.path + "\t" + std::to_string(file.size) + "\r\n"; }

bool ParseListLine(std::string_view line, ListedFile* file) {
  size_t tab = line.rfind('\t');
  if (tab == std::string_view::npos || tab == 0 || tab + 1 == line.size()) return false;
  uint64_t size = 0;
  for (char c : line.substr(tab + 1)) {
    if (c < '0' || c > '9') return false;
    uint64_t next = size * 10 + static_cast<uint64_t>(c - '0');
    if (next / 10 != size) return false;  // overflow
    size = next;
  }
  file->path.assign(line.substr(0, tab));
  file->size = size;
  return true;
}

bool ParseList(std::string_view text, std::vector<ListedFile>* files) {
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    start = end + 1;
    if (line.empty()) continue;
    ListedFile file;
    if (!ParseListLine(line, &file)) return false;
    files->push_back(std::move(file));
  }
  return true;
}

}  // namespace dump
