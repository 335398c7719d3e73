#include "job_text.h"

#include <stdio.h>
#include <stdlib.h>

#include "SolvikaUtils.h"
#include "svstring.h"

namespace svdnm {

std::string HexName(uint32_t code) {
  char buf[9];
  snprintf(buf, sizeof buf, "%08X", (unsigned)code);
  return buf;
}

std::string BodyDigest(std::string_view body) {
  std::string framed;
  framed.reserve(body.size() + 2);
  framed += '\x02';
  framed += body;
  framed += '\x03';
  SvStr bytes = sv::NewStr(framed);
  SvStr digest = MD5(bytes);
  std::string result(digest ? digest : "", (size_t)sv::Length(digest));
  sv::Release(bytes);
  sv::Release(digest);
  return result;
}

uint32_t ParseNumber(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) i++;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  uint64_t value = 0;
  bool digits = false;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; i++) {
    value = value * 10 + (uint64_t)(text[i] - '0');
    digits = true;
  }
  if (!digits) return 0;
  if (negative) value = (uint64_t)0 - value;
  return (uint32_t)value;
}

std::string FormatLastModified(double value) {
  char buf[64];
  snprintf(buf, sizeof buf, "%.14E", value);
  std::string text = buf;
  size_t e = text.find('E');
  if (e != std::string::npos && e + 2 <= text.size()) {
    char sign = text[e + 1];
    long exponent = strtol(text.c_str() + e + 2, nullptr, 10);
    snprintf(buf, sizeof buf, "%c%04ld", sign, exponent);
    text = text.substr(0, e + 1) + buf;
  }
  return value < 0 ? text : " " + text;
}

double ParseLastModified(std::string_view text) {
  std::string copy(text);
  return strtod(copy.c_str(), nullptr);
}

namespace {

void Line(std::string& out, std::string_view key, std::string_view value) {
  out += key;
  out += '\t';
  out += value;
  out += '\n';
}

void Line(std::string& out, std::string_view key, uint32_t value) { Line(out, key, std::to_string(value)); }

void RequestBlock(std::string& out, const std::string& prefix, const Request& r) {
  Line(out, prefix + "-Size", (uint32_t)r.Size);
  if (r.Size == 0) return;
  Line(out, prefix + "-Method", r.Method);
  Line(out, prefix + "-HType", r.HostMode);
  Line(out, prefix + "-TimeO", (uint32_t)r.Timeout);
  Line(out, prefix + "-BAE", r.AutoExtract ? 1u : 0u);
  Line(out, prefix + "-BRDS", r.Resume ? 1u : 0u);
  Line(out, prefix + "-BODW", r.LogReply ? 1u : 0u);
  Line(out, prefix + "-Query", r.Path);
  Line(out, prefix + "-Host", r.Host);
  Line(out, prefix + "-FNames", r.Files);
  Line(out, prefix + "-OutDir", r.LocalDir);
  Line(out, prefix + "-UAgent", r.Tag);
}

void FileBlock(std::string& out, const std::string& prefix, const FileEntry& f) {
  Line(out, prefix + "-FName", f.Name);
  Line(out, prefix + "-FPath", f.Path);
  Line(out, prefix + "-rHost", f.Host);
  Line(out, prefix + "-rETag", f.ETag);
  Line(out, prefix + "-sLLen", (uint32_t)f.Offset);
  Line(out, prefix + "-rLength", (uint32_t)f.Bytes);
  Line(out, prefix + "-rCode", (uint32_t)f.ResultCode);
  Line(out, prefix + "-rLastMod", FormatLastModified(f.LastModified));
}

uint8_t RemapStatus(uint8_t status) {
  // Work that was running (or failed) when the program ended is retried.
  switch (status) {
    case 1: case 2: return 0;
    case 4: return 5;
    case 7: case 8: return 6;
    case 10: return 3;
    default: return status;
  }
}

void SetRequestField(Request& r, std::string_view key, std::string_view value) {
  if (key == "Size") {
    r.Size = (int32_t)ParseNumber(value);
    return;
  }
  if (r.Size != 48) return;  // fields count only inside a real block
  if (key == "Method") r.Method = (uint8_t)ParseNumber(value);
  else if (key == "HType") r.HostMode = (uint8_t)ParseNumber(value);
  else if (key == "TimeO") r.Timeout = (int32_t)ParseNumber(value);
  else if (key == "BAE") r.AutoExtract = (uint8_t)ParseNumber(value) != 0;
  else if (key == "BRDS") r.Resume = (uint8_t)ParseNumber(value) != 0;
  else if (key == "BODW") r.LogReply = (uint8_t)ParseNumber(value) != 0;
  else if (key == "Query") r.Path = value;
  else if (key == "Host") r.Host = value;
  else if (key == "FNames") r.Files = value;
  else if (key == "OutDir") r.LocalDir = value;
  else if (key == "UAgent") r.Tag = value;
}

void SetFileField(FileEntry& f, std::string_view key, std::string_view value) {
  if (key == "FName") f.Name = value;
  else if (key == "FPath") f.Path = value;
  else if (key == "rHost") f.Host = value;
  else if (key == "rETag") f.ETag = value;
  else if (key == "sLLen") f.Offset = (int32_t)ParseNumber(value);
  else if (key == "rLength") f.Bytes = (int32_t)ParseNumber(value);
  else if (key == "rCode") f.ResultCode = (int32_t)ParseNumber(value);
  else if (key == "rLastMod") f.LastModified = ParseLastModified(value);
}

bool IsDecimal(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

// The shortest line that can describe a file ("File-0-FName<TAB><LF>"): a
// count of files is believable only while the rest of the text could hold one
// such line per file.
constexpr size_t kShortestFileLine = sizeof("File-0-FName\t\n") - 1;

// `textLeft` is how many bytes of the text follow the current line.
void SetField(JobRecord& job, bool& haveFiles, std::string_view key, std::string_view value, size_t textLeft) {
  if (key == "Title") job.Title = value;
  else if (key == "IParam") job.IParam = value;
  else if (key == "Code") job.Code = ParseNumber(value);
  else if (key == "Pos") job.Pos = ParseNumber(value);
  else if (key == "TotalLength") job.TotalLength = ParseNumber(value);
  else if (key == "DoneLength") job.DoneLength = ParseNumber(value);
  else if (key == "CurrFile") job.CurrFile = ParseNumber(value);
  else if (key == "CurrLength") job.CurrLength = ParseNumber(value);
  else if (key == "Status") job.Status = RemapStatus((uint8_t)ParseNumber(value));
  else if (key == "IType") job.IType = (uint8_t)ParseNumber(value);
  else if (key == "FCount") {
    // A damaged or crafted count must not allocate more entries than the rest
    // of the text could describe.
    uint32_t n = ParseNumber(value);
    const size_t fit = textLeft / kShortestFileLine;
    if (n > fit) n = (uint32_t)fit;
    job.Files.clear();
    haveFiles = false;
    try {
      if (n > 0) job.Files.resize(n);
      haveFiles = n > 0;
    } catch (...) {
      job.Files.clear();
    }
  } else {
    size_t dash = key.find('-');
    if (dash == std::string_view::npos) return;
    std::string_view target = key.substr(0, dash), rest = key.substr(dash + 1);
    if (target == "Download") SetRequestField(job.Download, rest, value);
    else if (target == "PS") SetRequestField(job.PS, rest, value);
    else if (target == "File" && haveFiles) {
      size_t dash2 = rest.find('-');
      if (dash2 == std::string_view::npos) return;
      std::string_view index = rest.substr(0, dash2);
      if (!IsDecimal(index) || index.size() > 9) return;
      uint32_t i = ParseNumber(index);
      if (i < job.Files.size()) SetFileField(job.Files[i], rest.substr(dash2 + 1), value);
    }
  }
}

}  // namespace

std::string BuildJobBody(const JobRecord& job) {
  std::string out;
  Line(out, "Title", job.Title);
  Line(out, "Code", job.Code);
  Line(out, "Pos", job.Pos);
  Line(out, "Status", job.Status);
  Line(out, "TotalLength", job.TotalLength);
  Line(out, "DoneLength", job.DoneLength);
  Line(out, "CurrFile", job.CurrFile);
  Line(out, "CurrLength", job.CurrLength);
  Line(out, "IType", job.IType);
  Line(out, "IParam", job.IParam);
  RequestBlock(out, "Download", job.Download);
  RequestBlock(out, "PS", job.PS);
  if (!job.Files.empty()) {
    Line(out, "FCount", (uint32_t)job.Files.size());
    for (size_t i = 0; i < job.Files.size(); i++) FileBlock(out, "File-" + std::to_string(i), job.Files[i]);
  }
  return out;
}

std::string BuildJobText(const JobRecord& job) {
  std::string body = BuildJobBody(job);
  return "Hash\t" + BodyDigest(body) + "\n" + body;
}

bool ParseJobText(std::string_view text, JobRecord& job) {
  bool hashSeen = false, haveFiles = false;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    if (line.empty()) continue;
    size_t tab = line.find('\t');
    std::string_view key = tab == std::string_view::npos ? line : line.substr(0, tab);
    std::string_view value = tab == std::string_view::npos ? std::string_view() : line.substr(tab + 1);
    if (!hashSeen) {
      std::string_view body = pos < text.size() ? text.substr(pos) : std::string_view();
      if (key != "Hash" || value != BodyDigest(body)) return false;
      hashSeen = true;
      continue;
    }
    SetField(job, haveFiles, key, value, pos < text.size() ? text.size() - pos : 0);
  }
  return hashSeen;
}

}  // namespace svdnm
