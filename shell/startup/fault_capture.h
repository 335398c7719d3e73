// The application's exception handler: a C++ exception that reaches the
// guard of one of the shell's window procedures (the program goes on), and
// a system exception that nothing handles (the report is shown, then the
// process ends), become an error report of header and packed details.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "fault_report.h"

namespace shell {

// Where a report goes: the dialogs library's report window in the program.
using FaultSink = std::function<void(const std::string& header, const std::string& details)>;

void InstallFaultCapture(FaultSink sink);
void RemoveFaultCapture();

// The pieces, for the handlers and their tests.
// The name and message of the C++ exception being handled (call inside a
// catch block).
void DescribeCurrentException(std::string* className, std::string* message);
// The name and message of a system exception.
void DescribeSystemException(const EXCEPTION_RECORD& record, std::string* className, std::string* message);
// The modules loaded into the process, with versions of the program's own.
std::vector<LoadedModule> LoadedModules(const std::string& programFolder);
// Header and packed details of a fault, the stack lines given.
void MakeFaultReport(const std::string& className, const std::string& message, const std::vector<std::string>& stack,
                     std::string* header, std::string* details);

}  // namespace shell
