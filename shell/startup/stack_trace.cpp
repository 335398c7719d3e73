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

// The exported function of `module` that starts closest below `rva`, read
// from the export directory of the loaded image; false when none does.
bool NearestExport(HMODULE module, uintptr_t rva, std::string* name, uintptr_t* offset) {
  auto* image = reinterpret_cast<const BYTE*>(module);
  auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image);
  if (dos->e_magic != IMAGE_DOS_SIGNATURE) return false;
  auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(image + dos->e_lfanew);
  if (nt->Signature != IMAGE_NT_SIGNATURE) return false;
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  if (!dir.VirtualAddress || !dir.Size) return false;
  auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(image + dir.VirtualAddress);
  auto* functions = reinterpret_cast<const DWORD*>(image + exports->AddressOfFunctions);
  auto* names = reinterpret_cast<const DWORD*>(image + exports->AddressOfNames);
  auto* ordinals = reinterpret_cast<const WORD*>(image + exports->AddressOfNameOrdinals);
  DWORD best = 0;
  const char* bestName = nullptr;
  for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
    WORD ordinal = ordinals[i];
    if (ordinal >= exports->NumberOfFunctions) continue;
    DWORD start = functions[ordinal];
    // Forwarded exports point into the export directory, not at code.
    if (start >= dir.VirtualAddress && start < dir.VirtualAddress + dir.Size) continue;
    if (start <= rva && start >= best) {
      best = start;
      bestName = reinterpret_cast<const char*>(image + names[i]);
    }
  }
  if (!bestName) return false;
  *name = bestName;
  *offset = rva - best;
  return true;
}

}  // namespace

std::string StackLineFor(const void* address) {
  HMODULE module = nullptr;
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          static_cast<LPCWSTR>(address), &module) ||
      !module) {
    return FormatStackFrame("?", reinterpret_cast<uintptr_t>(address));
  }
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(module, path, MAX_PATH);
  uintptr_t rva = reinterpret_cast<uintptr_t>(address) - reinterpret_cast<uintptr_t>(module);
  std::string function;
  uintptr_t functionOffset = 0;
  if (!NearestExport(module, rva, &function, &functionOffset)) function.clear();
  return FormatStackFrame(sv::Narrow(path), rva, function, functionOffset);
}

namespace {

std::string FrameLine(void* address) { return StackLineFor(address); }

}  // namespace

void EnableStackTracing() {
  if (!g_recording.handler) g_recording.handler = AddVectoredExceptionHandler(1, RecordStack);
}

void RecordThrowStack(int skip) {
  if (!g_recording.handler) return;
  USHORT n = RtlCaptureStackBackTrace(static_cast<DWORD>(skip + 1), kMaxFrames, g_recording.frames, nullptr);
  InterlockedExchange(&g_recording.count, n);
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

std::string FormatStackFrame(const std::string& modulePath, uintptr_t offset, const std::string& function,
                             uintptr_t functionOffset) {
  size_t slash = modulePath.find_last_of("\\/");
  std::string name = slash == std::string::npos ? modulePath : modulePath.substr(slash + 1);
  char hex[2 + 2 * sizeof(uintptr_t) + 1];
  snprintf(hex, sizeof(hex), "0x%lx", static_cast<unsigned long>(offset));
  std::string line = name + "+" + hex;
  if (!function.empty()) {
    snprintf(hex, sizeof(hex), "0x%lx", static_cast<unsigned long>(functionOffset));
    line += " (" + function + "+" + hex + ")";
  }
  return line;
}

}  // namespace shell
