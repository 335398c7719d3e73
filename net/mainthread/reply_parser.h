// The server's reply to the main thread's queries, read into the list of
// what it asks for. Plain C++ with no Windows API: it builds natively, so
// that it can be tested and fuzzed without the rest of the engine.
//
// Reply format: lines separated by LF (a CR before the LF is dropped). A line
// that does not begin with a tab is a command line: the command word, a tab,
// the argument. A line that begins with a tab is a data line of the section
// that the last command line opened (PLUGINS, SETINIVALUES,
// DELETEINIVALUES); any other line closes that section.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace svnet {

enum class ReplyActionKind {
  kSetScriptHosts,  // SCRIPTS: text = "/"-separated host list
  kSetSourceHosts,  // SOURCES: text = "/"-separated host list
  kSetProgramId,    // STAT: text = the client identifier
  kWriteIni,        // PLUGINS, SETINIVALUES: section, key, value of Tovrin.ini
  kDeleteIni,       // DELETEINIVALUES: section, key (empty: the whole section)
};

struct ReplyAction {
  ReplyActionKind kind;
  std::string text;
  std::string section, key, value;
};

struct ServerReply {
  uint16_t newestVersion = 0;  // the last VERSION line, 0 without one
  bool hide = false;           // HIDE: no question, "-hideupdate" for the old updaters
  std::vector<ReplyAction> actions;  // in the order of the reply
};

// Never fails: lines that do not fit their command are skipped, unknown
// command words are ignored.
ServerReply ParseServerReply(std::string_view reply);

}  // namespace svnet
