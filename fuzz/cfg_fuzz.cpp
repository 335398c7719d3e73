// "TovrinNet.cfg" as found in the program folder, and the host lists stored
// into it. Input: the file bytes, then (after a zero byte) a "/"-separated
// host list.
//
// Properties: a record encodes to a file that decodes to the same record; a
// stored host list reads back as at most ten hosts, each cut to 50
// characters and followed by "/".
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include "mainthread/config_record.h"
#include "fuzz_support.h"

namespace {

std::string ExpectedHosts(std::string_view list) {
  std::string text;
  int count = 0;
  while (!list.empty() && count < svnet::kMaxStoredHosts) {
    size_t cut = list.find('/');
    text += std::string(list.substr(0, cut).substr(0, svnet::kSlotChars)) + "/";
    list = cut == std::string_view::npos ? std::string_view() : list.substr(cut + 1);
    ++count;
  }
  return text;
}

void CheckRoundTrip(const svnet::CfgRecord& r) {
  const std::string file = svnet::EncodeCfg(r);
  FUZZ_CHECK(file.size() == (size_t)svnet::kCfgSize);
  const svnet::CfgRecord back = svnet::DecodeCfg(file);
  FUZZ_CHECK(memcmp(back.bytes, r.bytes, svnet::kCfgSize) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view parts[2];
  fuzz::SplitInput(std::string_view((const char*)data, size), '\0', parts, 2);

  svnet::CfgRecord r = svnet::DecodeCfg(std::string(parts[0]));
  for (bool source : {false, true}) {
    const std::string hosts = svnet::StoredHostsText(r, source);
    FUZZ_CHECK(hosts.size() <= (size_t)svnet::kMaxStoredHosts * (svnet::kSlotChars + 1));
  }
  CheckRoundTrip(r);

  for (bool source : {false, true}) {
    svnet::StoreHostList(&r, source, std::string(parts[1]));
    FUZZ_CHECK(svnet::StoredHostsText(r, source) == ExpectedHosts(parts[1]));
  }
  CheckRoundTrip(r);
  return 0;
}
