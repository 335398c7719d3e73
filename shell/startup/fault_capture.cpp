#include "fault_capture.h"

#include <cxxabi.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <typeinfo>

#include "file_io.h"
#include "stack_trace.h"
#include "wide.h"
#include "window.h"
#include "SolvikaUtils.h"

namespace shell {

namespace {

FaultSink g_sink;
LPTOP_LEVEL_EXCEPTION_FILTER g_previousFilter = nullptr;
bool g_installed = false;
// A fault while a report is being made is not reported again.
volatile LONG g_reporting = 0;

std::string Demangled(const char* name) {
  if (!name) return "?";
  int status = 0;
  char* plain = abi::__cxa_demangle(name, nullptr, nullptr, &status);
  std::string text = status == 0 && plain ? plain : name;
  free(plain);
  return text;
}

struct SystemExceptionName {
  DWORD code;
  const char* className;
  const char* message;
};
constexpr SystemExceptionName kSystemExceptions[] = {
    {EXCEPTION_ACCESS_VIOLATION, "EAccessViolation", "Access violation"},
    {EXCEPTION_INT_DIVIDE_BY_ZERO, "EDivByZero", "Division by zero"},
    {EXCEPTION_INT_OVERFLOW, "EIntOverflow", "Integer overflow"},
    {EXCEPTION_FLT_DIVIDE_BY_ZERO, "EZeroDivide", "Floating point division by zero"},
    {EXCEPTION_FLT_OVERFLOW, "EOverflow", "Floating point overflow"},
    {EXCEPTION_FLT_UNDERFLOW, "EUnderflow", "Floating point underflow"},
    {EXCEPTION_FLT_INVALID_OPERATION, "EInvalidOp", "Invalid floating point operation"},
    {EXCEPTION_STACK_OVERFLOW, "EStackOverflow", "Stack overflow"},
    {EXCEPTION_PRIV_INSTRUCTION, "EPrivilege", "Privileged instruction"},
    {EXCEPTION_ILLEGAL_INSTRUCTION, "EExternalException", "Illegal instruction"},
    {EXCEPTION_ARRAY_BOUNDS_EXCEEDED, "ERangeError", "Array bounds exceeded"},
};

void Report(const std::string& className, const std::string& message, const std::vector<std::string>& stack) {
  if (!g_sink || InterlockedExchange(&g_reporting, 1)) return;
  std::string header, details;
  MakeFaultReport(className, message, stack, &header, &details);
  g_sink(header, details);
  InterlockedExchange(&g_reporting, 0);
}

// A C++ exception caught by the guard of a window procedure.
void OnGuardedFault() {
  std::string className, message;
  DescribeCurrentException(&className, &message);
  Report(className, message, LastExceptionStack());
}

// A system exception that no handler took: the report, then the end.
LONG WINAPI OnUnhandledException(EXCEPTION_POINTERS* info) {
  if (!info || !info->ExceptionRecord || g_reporting) return EXCEPTION_EXECUTE_HANDLER;
  std::string className, message;
  DescribeSystemException(*info->ExceptionRecord, &className, &message);
  std::vector<std::string> stack{StackLineFor(info->ExceptionRecord->ExceptionAddress)};
  for (std::string& line : LastExceptionStack()) stack.push_back(std::move(line));
  Report(className, message, stack);
  return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

void InstallFaultCapture(FaultSink sink) {
  g_sink = std::move(sink);
  ui::SetGuardedFaultHandler(&OnGuardedFault);
  LPTOP_LEVEL_EXCEPTION_FILTER previous = SetUnhandledExceptionFilter(&OnUnhandledException);
  if (!g_installed) g_previousFilter = previous;
  g_installed = true;
}

void RemoveFaultCapture() {
  if (!g_installed) return;
  ui::SetGuardedFaultHandler(nullptr);
  SetUnhandledExceptionFilter(g_previousFilter);
  g_previousFilter = nullptr;
  g_installed = false;
  g_sink = nullptr;
}

void DescribeCurrentException(std::string* className, std::string* message) {
  className->clear();
  message->clear();
  try {
    throw;
  } catch (const std::exception& e) {
    *className = Demangled(typeid(e).name());
    *message = e.what();
  } catch (...) {
    std::type_info* type = abi::__cxa_current_exception_type();
    *className = Demangled(type ? type->name() : nullptr);
  }
}

void DescribeSystemException(const EXCEPTION_RECORD& record, std::string* className, std::string* message) {
  char text[160];
  for (const SystemExceptionName& known : kSystemExceptions) {
    if (known.code != record.ExceptionCode) continue;
    *className = known.className;
    snprintf(text, sizeof(text), "%s at address %08lX", known.message,
             static_cast<unsigned long>(reinterpret_cast<uintptr_t>(record.ExceptionAddress)));
    *message = text;
    if (record.ExceptionCode == EXCEPTION_ACCESS_VIOLATION && record.NumberParameters >= 2) {
      const char* kind = record.ExceptionInformation[0] == 1 ? "Write" : record.ExceptionInformation[0] == 8 ? "Execution" : "Read";
      snprintf(text, sizeof(text), ". %s of address %08lX", kind,
               static_cast<unsigned long>(record.ExceptionInformation[1]));
      *message += text;
    }
    return;
  }
  *className = "EExternalException";
  snprintf(text, sizeof(text), "External exception %08lX at address %08lX",
           static_cast<unsigned long>(record.ExceptionCode),
           static_cast<unsigned long>(reinterpret_cast<uintptr_t>(record.ExceptionAddress)));
  *message = text;
}

std::vector<LoadedModule> LoadedModules(const std::string& programFolder) {
  std::vector<LoadedModule> modules;
  HMODULE handles[1024];
  DWORD needed = 0;
  if (!EnumProcessModules(GetCurrentProcess(), handles, sizeof(handles), &needed)) return modules;
  DWORD count = needed / sizeof(HMODULE);
  for (DWORD i = 0; i < count && i < 1024; ++i) {
    wchar_t path[MAX_PATH] = {};
    if (!GetModuleFileNameW(handles[i], path, MAX_PATH)) continue;
    LoadedModule m;
    m.base = reinterpret_cast<uintptr_t>(handles[i]);
    m.path = sv::Narrow(path);
    if (InProgramFolder(m.path, programFolder)) m.version = GetDllModuleVersion(m.path.c_str());
    modules.push_back(std::move(m));
  }
  return modules;
}

void MakeFaultReport(const std::string& className, const std::string& message, const std::vector<std::string>& stack,
                     std::string* header, std::string* details) {
  std::string folder = sv::ProgramFolder();
  *header = FaultHeader(message, className);
  *details = PackReportDetails(FaultDetails(stack, ModuleBasesText(LoadedModules(folder), folder)));
}

}  // namespace shell
