// The server's reply to the main thread's queries.
//
// Properties: no value of an action holds a line break; settings actions
// name a section (plugin sections with their "*"); and a reply written
// back from the actions read (one command or data line each) reads as the
// same actions, version and hide flag.
#include <stddef.h>
#include <stdint.h>

#include "fuzz_support.h"
#include "mainthread/reply_parser.h"

namespace {

using svnet::ReplyAction;
using svnet::ReplyActionKind;

const char* const kLineEnd = "\r\n";

std::string Written(const svnet::ServerReply& reply) {
  std::string out;
  for (const ReplyAction& a : reply.actions) {
    switch (a.kind) {
      case ReplyActionKind::kSetScriptHosts: out += "SCRIPTS\t" + a.text + kLineEnd; break;
      case ReplyActionKind::kSetSourceHosts: out += "SOURCES\t" + a.text + kLineEnd; break;
      case ReplyActionKind::kSetProgramId: out += "STAT\t" + a.text + kLineEnd; break;
      case ReplyActionKind::kWriteIni:
        out += std::string("SETINIVALUES") + kLineEnd + "\t" + a.section + "\t" + a.key + "\t" + a.value + kLineEnd;
        break;
      case ReplyActionKind::kDeleteIni:
        out += std::string("DELETEINIVALUES") + kLineEnd + "\t" + a.section + "\t" + a.key + kLineEnd;
        break;
    }
  }
  if (reply.hide) out += std::string("HIDE") + kLineEnd;
  out += "VERSION\t" + std::to_string(reply.newestVersion) + kLineEnd;
  return out;
}

bool Same(const ReplyAction& a, const ReplyAction& b) {
  return a.kind == b.kind && a.text == b.text && a.section == b.section && a.key == b.key && a.value == b.value;
}

bool NoBreak(const std::string& s) { return s.find('\n') == std::string::npos; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const svnet::ServerReply reply = svnet::ParseServerReply(std::string_view((const char*)data, size));
  for (const ReplyAction& a : reply.actions) {
    FUZZ_CHECK(NoBreak(a.text) && NoBreak(a.section) && NoBreak(a.key) && NoBreak(a.value));
    if (a.kind == ReplyActionKind::kWriteIni || a.kind == ReplyActionKind::kDeleteIni) {
      FUZZ_CHECK(!a.section.empty());
      FUZZ_CHECK(a.section.find('\t') == std::string::npos && a.key.find('\t') == std::string::npos);
    }
    if (a.kind == ReplyActionKind::kWriteIni) FUZZ_CHECK(!a.key.empty());
  }

  const svnet::ServerReply again = svnet::ParseServerReply(Written(reply));
  FUZZ_CHECK(again.newestVersion == reply.newestVersion);
  FUZZ_CHECK(again.hide == reply.hide);
  FUZZ_CHECK(again.actions.size() == reply.actions.size());
  for (size_t i = 0; i < reply.actions.size(); ++i) FUZZ_CHECK(Same(again.actions[i], reply.actions[i]));
  return 0;
}
