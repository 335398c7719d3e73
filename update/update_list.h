// The update list: the server's "getfiles2" reply read into its FILES and
// PACKAGES lists, and the download list of what this machine lacks, decided
// by the shared entry filter with "+" entries forced. Plain code without
// windows.h: the file checks come through sv::UpdateEntryFacts.
#pragma once

#include <string>
#include <string_view>

#include "update_entry.h"

namespace update {

struct UpdateLists {
  std::string files;
  std::string packages;
};

// Lines end with CR, LF or CR LF; a line whose first tab field is "FILES" or
// "PACKAGES" gives its list in the second field; the last such line wins.
UpdateLists ParseUpdateReply(std::string_view reply);

// The remote name to fetch for one entry, or empty when it is not needed.
std::string FilterEntry(std::string_view entry, const sv::UpdateEntryFacts& facts);

// The download list: accepted packages as "lib\" + name + "/", then accepted
// files as name + "/".
std::string BuildDownloadList(const UpdateLists& lists, const sv::UpdateEntryFacts& facts);

}  // namespace update
