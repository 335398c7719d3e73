#include "fault_report.h"

#include <algorithm>
#include <cstdio>

#include "base64.h"
#include "cp1251_case.h"
#include "zlib.h"

namespace shell {

namespace {

constexpr char kCrLf[] = "\r\n";

std::string Compress(const std::string& bytes) {
  uLongf bound = compressBound(static_cast<uLong>(bytes.size()));
  std::string out(bound, '\0');
  if (compress(reinterpret_cast<Bytef*>(&out[0]), &bound, reinterpret_cast<const Bytef*>(bytes.data()),
               static_cast<uLong>(bytes.size())) != Z_OK)
    return std::string();
  out.resize(bound);
  return out;
}

}  // namespace

std::string FaultHeader(const std::string& message, const std::string& className) {
  return message + kCrLf + "Exception ClassName:" + className;
}

bool InProgramFolder(const std::string& path, const std::string& programFolder) {
  if (programFolder.empty() || path.size() < programFolder.size()) return false;
  return sv::ToUpper1251(path.substr(0, programFolder.size())) == sv::ToUpper1251(programFolder);
}

std::string ModuleBasesText(std::vector<LoadedModule> modules, const std::string& programFolder) {
  std::stable_sort(modules.begin(), modules.end(), [](const LoadedModule& a, const LoadedModule& b) {
    return sv::ToUpper1251(a.path) < sv::ToUpper1251(b.path);
  });
  std::string text;
  for (const LoadedModule& m : modules) {
    char base[16];
    snprintf(base, sizeof(base), "%08lX", static_cast<unsigned long>(m.base));
    text += std::string("[") + base + "] " + m.path;
    if (InProgramFolder(m.path, programFolder)) text += " " + std::to_string(m.version);
    text += kCrLf;
  }
  return text;
}

std::string FaultDetails(const std::vector<std::string>& stack, const std::string& moduleBases) {
  std::string text;
  for (size_t i = 0; i < stack.size(); ++i) {
    if (i) text += kCrLf;
    text += stack[i];
  }
  return text + "\r\nModule Bases:\r\n" + moduleBases;
}

std::string BreakReportLines(const std::string& encoded) {
  std::string text = encoded;
  // From the end, so that earlier positions still count in the unbroken text.
  for (size_t position = (text.size() / kReportLineEvery) * kReportLineEvery; position >= kReportLineEvery;
       position -= kReportLineEvery)
    text.insert(position - 1, kCrLf);
  return text;
}

std::string PackReportDetails(const std::string& details) {
  return BreakReportLines(sv::Base64Encode(Compress(details)));
}

}  // namespace shell
