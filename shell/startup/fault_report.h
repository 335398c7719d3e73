// The text of an error report made from an exception: the header, the
// details (call stack and loaded modules), and the packed form in which the
// details travel (zlib, Base64, broken into lines). Plain code.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace shell {

// The encoded report gets a line break before every 50th character.
constexpr size_t kReportLineEvery = 50;

// message + CR LF + "Exception ClassName:" + class name.
std::string FaultHeader(const std::string& message, const std::string& className);

struct LoadedModule {
  uintptr_t base = 0;
  std::string path;
  int32_t version = 0;  // asked for only for the program's own modules
};
// One line per module, sorted by path (case does not count): "[" + base in
// eight upper-case hexadecimal digits + "] " + path, then " " + version for
// the modules inside the program folder; each line ends in CR LF.
std::string ModuleBasesText(std::vector<LoadedModule> modules, const std::string& programFolder);
// Whether a module's path lies in the program folder (case does not count).
bool InProgramFolder(const std::string& path, const std::string& programFolder);

// The stack lines joined by CR LF, then "\r\nModule Bases:\r\n" and the
// module lines.
std::string FaultDetails(const std::vector<std::string>& stack, const std::string& moduleBases);

// A CR LF before every character whose 1-based position is a multiple of
// 50: 120 characters become lines of 49, 50 and 21.
std::string BreakReportLines(const std::string& encoded);
// The details as they are handed over: zlib stream, Base64, lines.
std::string PackReportDetails(const std::string& details);

}  // namespace shell
