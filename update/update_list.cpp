#include "update_list.h"

namespace update {

UpdateLists ParseUpdateReply(std::string_view reply) {
  UpdateLists lists;
  size_t pos = 0;
  while (pos < reply.size()) {
    size_t end = reply.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = reply.size();
    std::string_view line = reply.substr(pos, end - pos);
    pos = end;
    if (pos < reply.size() && reply[pos] == '\r') ++pos;
    if (pos < reply.size() && reply[pos] == '\n') ++pos;

    const size_t tab = line.find('\t');
    if (tab == std::string_view::npos) continue;
    const std::string_view key = line.substr(0, tab);
    std::string_view value = line.substr(tab + 1);
    value = value.substr(0, value.find('\t'));
    if (key == "FILES") lists.files.assign(value);
    else if (key == "PACKAGES") lists.packages.assign(value);
  }
  return lists;
}

std::string FilterEntry(std::string_view entry, const sv::UpdateEntryFacts& facts) {
  std::string download;
  return sv::AcceptUpdateEntry(entry, facts, sv::PlusEntries::kForced, &download) ? download : std::string();
}

std::string BuildDownloadList(const UpdateLists& lists, const sv::UpdateEntryFacts& facts) {
  return sv::BuildUpdateDownloadList(lists.packages, lists.files, facts, sv::PlusEntries::kForced);
}

}  // namespace update
