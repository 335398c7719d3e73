#include "job_text.h"

#include <stdio.h>
#include <stdlib.h>

#include "SolvikaDNM.h"
#include "SolvikaUtils.h"
#include "decimal.h"
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
  sv::OwnedStr bytes(framed);
  return sv::Take(MD5(bytes));
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

// Longer file indexes are refused before they could wrap around 32 bits.
const size_t kMaxIndexDigits = 9;

void Line(std::string& out, std::string_view key, std::string_view value) {
  out += key;
  out += '\t';
  out += value;
  out += '\n';
}

void Line(std::string& out, std::string_view key, uint32_t value) { Line(out, key, std::to_string(value)); }

void RequestBlock(std::string& out, const std::string& prefix, const Request& r) {
  Line(out, prefix + "-Size", (uint32_t)r.size);
  if (r.size == 0) return;
  Line(out, prefix + "-Method", r.method);
  Line(out, prefix + "-HType", r.hostMode);
  Line(out, prefix + "-TimeO", (uint32_t)r.timeout);
  Line(out, prefix + "-BAE", r.autoExtract ? 1u : 0u);
  Line(out, prefix + "-BRDS", r.resume ? 1u : 0u);
  Line(out, prefix + "-BODW", r.logReply ? 1u : 0u);
  Line(out, prefix + "-Query", r.path);
  Line(out, prefix + "-Host", r.host);
  Line(out, prefix + "-FNames", r.files);
  Line(out, prefix + "-OutDir", r.localDir);
  Line(out, prefix + "-UAgent", r.tag);
}

void FileBlock(std::string& out, const std::string& prefix, const FileEntry& f) {
  Line(out, prefix + "-FName", f.name);
  Line(out, prefix + "-FPath", f.path);
  Line(out, prefix + "-rHost", f.host);
  Line(out, prefix + "-rETag", f.eTag);
  Line(out, prefix + "-sLLen", (uint32_t)f.offset);
  Line(out, prefix + "-rLength", (uint32_t)f.bytes);
  Line(out, prefix + "-rCode", (uint32_t)f.resultCode);
  Line(out, prefix + "-rLastMod", FormatLastModified(f.lastModified));
}

uint8_t RemapStatus(uint8_t status) {
  // Work that was running (or failed) when the program ended is retried.
  switch (status) {
    case SVDNM_QUERYING: case SVDNM_QUERY_FAILED: return SVDNM_NEW;
    case SVDNM_TRANSFERRING: return SVDNM_PAUSED;
    case SVDNM_INSTALLING: case SVDNM_INSTALL_FAILED: return SVDNM_TRANSFERRED;
    case SVDNM_TRANSFER_FAILED: return SVDNM_READY;
    default: return status;
  }
}

void SetRequestField(Request& r, std::string_view key, std::string_view value) {
  if (key == "Size") {
    r.size = (int32_t)sv::ParseDecimal(value);
    return;
  }
  if (r.size != kStoredParamsSize) return;  // fields count only inside a real block
  if (key == "Method") r.method = (uint8_t)sv::ParseDecimal(value);
  else if (key == "HType") r.hostMode = (uint8_t)sv::ParseDecimal(value);
  else if (key == "TimeO") r.timeout = (int32_t)sv::ParseDecimal(value);
  else if (key == "BAE") r.autoExtract = (uint8_t)sv::ParseDecimal(value) != 0;
  else if (key == "BRDS") r.resume = (uint8_t)sv::ParseDecimal(value) != 0;
  else if (key == "BODW") r.logReply = (uint8_t)sv::ParseDecimal(value) != 0;
  else if (key == "Query") r.path = value;
  else if (key == "Host") r.host = value;
  else if (key == "FNames") r.files = value;
  else if (key == "OutDir") r.localDir = value;
  else if (key == "UAgent") r.tag = value;
}

void SetFileField(FileEntry& f, std::string_view key, std::string_view value) {
  if (key == "FName") f.name = value;
  else if (key == "FPath") f.path = value;
  else if (key == "rHost") f.host = value;
  else if (key == "rETag") f.eTag = value;
  else if (key == "sLLen") f.offset = (int32_t)sv::ParseDecimal(value);
  else if (key == "rLength") f.bytes = (int32_t)sv::ParseDecimal(value);
  else if (key == "rCode") f.resultCode = (int32_t)sv::ParseDecimal(value);
  else if (key == "rLastMod") f.lastModified = ParseLastModified(value);
}

// The shortest line that can describe a file ("File-0-FName<TAB><LF>"): a
// count of files is believable only while the rest of the text could hold one
// such line per file.
constexpr size_t kShortestFileLine = sizeof("File-0-FName\t\n") - 1;

// `textLeft` is how many bytes of the text follow the current line.
void SetField(JobRecord& job, bool& haveFiles, std::string_view key, std::string_view value, size_t textLeft) {
  if (key == "Title") job.title = value;
  else if (key == "IParam") job.iParam = value;
  else if (key == "Code") job.code = sv::ParseDecimal(value);
  else if (key == "Pos") job.pos = sv::ParseDecimal(value);
  else if (key == "TotalLength") job.totalLength = sv::ParseDecimal(value);
  else if (key == "DoneLength") job.doneLength = sv::ParseDecimal(value);
  else if (key == "CurrFile") job.currFile = sv::ParseDecimal(value);
  else if (key == "CurrLength") job.currLength = sv::ParseDecimal(value);
  else if (key == "Status") job.status = RemapStatus((uint8_t)sv::ParseDecimal(value));
  else if (key == "IType") job.iType = (uint8_t)sv::ParseDecimal(value);
  else if (key == "FCount") {
    // A damaged or crafted count must not allocate more entries than the rest
    // of the text could describe.
    uint32_t n = sv::ParseDecimal(value);
    const size_t fit = textLeft / kShortestFileLine;
    if (n > fit) n = (uint32_t)fit;
    job.files.clear();
    haveFiles = false;
    try {
      if (n > 0) job.files.resize(n);
      haveFiles = n > 0;
    } catch (...) {
      job.files.clear();
    }
  } else {
    size_t dash = key.find('-');
    if (dash == std::string_view::npos) return;
    std::string_view target = key.substr(0, dash), rest = key.substr(dash + 1);
    if (target == "Download") SetRequestField(job.download, rest, value);
    else if (target == "PS") SetRequestField(job.ps, rest, value);
    else if (target == "File" && haveFiles) {
      size_t dash2 = rest.find('-');
      if (dash2 == std::string_view::npos) return;
      std::string_view index = rest.substr(0, dash2);
      if (!sv::IsDecimal(index) || index.size() > kMaxIndexDigits) return;
      uint32_t i = sv::ParseDecimal(index);
      if (i < job.files.size()) SetFileField(job.files[i], rest.substr(dash2 + 1), value);
    }
  }
}

}  // namespace

std::string BuildJobBody(const JobRecord& job) {
  std::string out;
  Line(out, "Title", job.title);
  Line(out, "Code", job.code);
  Line(out, "Pos", job.pos);
  Line(out, "Status", job.status);
  Line(out, "TotalLength", job.totalLength);
  Line(out, "DoneLength", job.doneLength);
  Line(out, "CurrFile", job.currFile);
  Line(out, "CurrLength", job.currLength);
  Line(out, "IType", job.iType);
  Line(out, "IParam", job.iParam);
  RequestBlock(out, "Download", job.download);
  RequestBlock(out, "PS", job.ps);
  if (!job.files.empty()) {
    Line(out, "FCount", (uint32_t)job.files.size());
    for (size_t i = 0; i < job.files.size(); i++) FileBlock(out, "File-" + std::to_string(i), job.files[i]);
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
