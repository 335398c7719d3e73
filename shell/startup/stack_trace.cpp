#include "stack_trace.h"

#include <windows.h>

#include <cstdio>

#include "wide.h"

namespace shell {

namespace {

constexpr int kMaxFrames = 62;  // the most RtlCaptureStackBackTrace takes on older systems
// Codes below this are information and warnings (debug output, for one).
constexpr DWORD kFirstErrorCode = 0xC0000000;

// The one recording of the process, as the tracing facility keeps it; the
// handler writes it and takes no locks, so the last writer wins.
struct Recording {
  void* handler = nullptr;
  void* frames[kMaxFrames] = {};
  volatile LONG count = 0;
};
Recording g_recording;

LONG CALLBACK RecordStack(EXCEPTION_POINTERS* info) {
  if (info && info->ExceptionRecord && info->ExceptionRecord->ExceptionCode >= kFirstErrorCode) {
    USHORT n = RtlCaptureStackBackTrace(1, kMaxFrames, g_recording.frames, nullptr);
    InterlockedExchange(&g_recording.count, n);
  }
  return EXCEPTION_CONTINUE_SEARCH;
}

std::string FrameLine(void* address) {
  HMODULE module = nullptr;
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          static_cast<LPCWSTR>(address), &module) ||
      !module) {
    return FormatStackFrame("?", reinterpret_cast<uintptr_t>(address));
  }
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(module, path, MAX_PATH);
  return FormatStackFrame(sv::Narrow(path), reinterpret_cast<uintptr_t>(address) - reinterpret_cast<uintptr_t>(module));
}

}  // namespace

void EnableStackTracing() {
  if (!g_recording.handler) g_recording.handler = AddVectoredExceptionHandler(1, RecordStack);
}

void DisableStackTracing() {
  if (g_recording.handler) RemoveVectoredExceptionHandler(g_recording.handler);
  g_recording.handler = nullptr;
}

std::vector<std::string> LastExceptionStack() {
  std::vector<std::string> lines;
  LONG n = g_recording.count;
  for (LONG i = 0; i < n && i < kMaxFrames; ++i) lines.push_back(FrameLine(g_recording.frames[i]));
  return lines;
}

std::string FormatStackFrame(const std::string& modulePath, uintptr_t offset) {
  size_t slash = modulePath.find_last_of("\\/");
  std::string name = slash == std::string::npos ? modulePath : modulePath.substr(slash + 1);
  char hex[2 + 2 * sizeof(uintptr_t) + 1];
  snprintf(hex, sizeof(hex), "0x%lx", static_cast<unsigned long>(offset));
  return name + "+" + hex;
}

}  // namespace shell
