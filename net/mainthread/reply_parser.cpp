#include "mainthread/reply_parser.h"

#include "text/decimal.h"

namespace svnet {

namespace {

constexpr char kLineEnd = '\n';
constexpr char kFieldSeparator = '\t';
constexpr std::string_view kPluginSectionPrefix = "*";

enum class Section { kNone, kPlugins, kSetIniValues, kDeleteIniValues };

// The tab-separated fields of a data line, always `count` of them: missing
// ones are empty, further ones are dropped.
std::vector<std::string> DataFields(std::string_view data, size_t count) {
  std::vector<std::string> fields;
  while (fields.size() < count) {
    size_t tab = data.find(kFieldSeparator);
    fields.emplace_back(data.substr(0, tab));
    if (tab == std::string_view::npos) break;
    data.remove_prefix(tab + 1);
  }
  fields.resize(count);
  return fields;
}

ReplyAction TextAction(ReplyActionKind kind, const std::string& text) {
  ReplyAction a{kind, text, std::string(), std::string(), std::string()};
  return a;
}

ReplyAction IniAction(ReplyActionKind kind, const std::string& section, const std::string& key,
                      const std::string& value) {
  ReplyAction a{kind, std::string(), section, key, value};
  return a;
}

ReplyAction WriteIni(const std::string& section, const std::string& key, const std::string& value) {
  return IniAction(ReplyActionKind::kWriteIni, section, key, value);
}

// Data line of PLUGINS: new version, plugin key, name, section; all four
// are needed.
void ReadPluginLine(std::string_view data, ServerReply* out) {
  std::vector<std::string> f = DataFields(data, 4);
  if (f[0].empty() || f[1].empty() || f[2].empty() || f[3].empty()) return;
  const std::string section = std::string(kPluginSectionPrefix) + f[1];
  out->actions.push_back(WriteIni(section, "Name", f[2]));
  out->actions.push_back(WriteIni(section, "NewVersion", f[0]));
  out->actions.push_back(WriteIni(section, "Section", f[3]));
}

// Data line of SETINIVALUES: section, key, value (an empty value is written).
void ReadSetIniLine(std::string_view data, ServerReply* out) {
  std::vector<std::string> f = DataFields(data, 3);
  if (f[0].empty() || f[1].empty()) return;
  out->actions.push_back(WriteIni(f[0], f[1], f[2]));
}

// Data line of DELETEINIVALUES: section, key (empty: the whole section).
void ReadDeleteIniLine(std::string_view data, ServerReply* out) {
  std::vector<std::string> f = DataFields(data, 2);
  if (f[0].empty()) return;
  out->actions.push_back(IniAction(ReplyActionKind::kDeleteIni, f[0], f[1], std::string()));
}

void ReadDataLine(Section section, std::string_view data, ServerReply* out) {
  switch (section) {
    case Section::kPlugins: ReadPluginLine(data, out); break;
    case Section::kSetIniValues: ReadSetIniLine(data, out); break;
    case Section::kDeleteIniValues: ReadDeleteIniLine(data, out); break;
    case Section::kNone: break;
  }
}

// A command line; returns the section it opens.
Section ReadCommandLine(std::string_view line, ServerReply* out) {
  const size_t tab = line.find(kFieldSeparator);
  const std::string_view command = line.substr(0, tab);
  const std::string arg(tab == std::string_view::npos ? std::string_view() : line.substr(tab + 1));
  if (command == "VERSION") out->newestVersion = (uint16_t)ToInt(arg, 0);
  else if (command == "HIDE") out->hide = true;
  else if (command == "SCRIPTS") out->actions.push_back(TextAction(ReplyActionKind::kSetScriptHosts, arg));
  else if (command == "SOURCES") out->actions.push_back(TextAction(ReplyActionKind::kSetSourceHosts, arg));
  else if (command == "STAT") out->actions.push_back(TextAction(ReplyActionKind::kSetProgramId, arg));
  else if (command == "PLUGINS") return Section::kPlugins;
  else if (command == "SETINIVALUES") return Section::kSetIniValues;
  else if (command == "DELETEINIVALUES") return Section::kDeleteIniValues;
  return Section::kNone;
}

}  // namespace

ServerReply ParseServerReply(std::string_view reply) {
  ServerReply out;
  Section section = Section::kNone;
  while (!reply.empty()) {
    const size_t end = reply.find(kLineEnd);
    std::string_view line = reply.substr(0, end);
    reply.remove_prefix(end == std::string_view::npos ? reply.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!line.empty() && line.front() == kFieldSeparator) {
      if (line.size() > 1) ReadDataLine(section, line.substr(1), &out);
      continue;
    }
    section = line.empty() ? Section::kNone : ReadCommandLine(line, &out);
  }
  return out;
}

}  // namespace svnet
