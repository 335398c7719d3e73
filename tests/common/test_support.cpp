#include "test_support.h"

#include <shellapi.h>

#include <atomic>

#include "file_io.h"
#include "wide.h"
#include "win_handles.h"

static std::atomic<int> g_scratchCounter{0};

ScratchDir::ScratchDir(const std::string& tag) {
  wchar_t tmp[MAX_PATH + 1];
  GetTempPathW(MAX_PATH, tmp);
  std::string base = sv::Narrow(tmp);
  if (base.empty() || base.back() != '\\') base += '\\';
  for (;;) {
    path_ = base + "sv_" + tag + "_" + std::to_string(GetCurrentProcessId()) + "_" +
            std::to_string(g_scratchCounter++) + "\\";
    if (CreateDirectoryW(sv::Wide(path_).c_str(), nullptr)) break;
  }
}

ScratchDir::~ScratchDir() { sv::RemoveFolderTree(path_); }

std::string ReadFileBytes(const std::string& path) {
  std::string data;
  return sv::ReadWholeFile(path, &data) ? data : std::string();
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
  sv::Handle f(CreateFileW(sv::Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  if (!f) return false;
  DWORD put = 0;
  return WriteFile(f.Get(), bytes.data(), (DWORD)bytes.size(), &put, nullptr) && put == bytes.size();
}

bool InChild() {
  wchar_t buf[8];
  return GetEnvironmentVariableW(L"SV_TEST_CHILD", buf, 8) > 0;
}

std::string TestProgramFolder() { return sv::ProgramFolder(); }

std::string CopyTestProgram(const std::string& folder, const std::vector<std::string>& libraries) {
  wchar_t buf[MAX_PATH * 4];
  DWORD n = GetModuleFileNameW(nullptr, buf, MAX_PATH * 4);
  std::string self = sv::Narrow(std::wstring(buf, n));
  std::string target = folder + self.substr(self.rfind('\\') + 1);
  CopyFileW(buf, sv::Wide(target).c_str(), FALSE);
  for (const std::string& lib : libraries)
    CopyFileW(sv::Wide(TestProgramFolder() + lib).c_str(), sv::Wide(folder + lib).c_str(), FALSE);
  return target;
}

namespace {

// The visible windows of process `pid`, each with its class, its caption and
// the texts of its children: what a hung child was showing, such as a
// message box that nobody answered.
BOOL CALLBACK AddChildText(HWND window, LPARAM param) {
  wchar_t text[512] = {};
  if (GetWindowTextW(window, text, 512) > 0) *reinterpret_cast<std::string*>(param) += " [" + sv::Narrow(text) + "]";
  return TRUE;
}

struct WindowList {
  DWORD pid;
  std::string text;
};

BOOL CALLBACK AddTopWindow(HWND window, LPARAM param) {
  auto* list = reinterpret_cast<WindowList*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != list->pid || !IsWindowVisible(window)) return TRUE;
  wchar_t name[128] = {}, caption[512] = {};
  GetClassNameW(window, name, 128);
  GetWindowTextW(window, caption, 512);
  list->text += "  " + sv::Narrow(name) + " \"" + sv::Narrow(caption) + "\":";
  EnumChildWindows(window, AddChildText, reinterpret_cast<LPARAM>(&list->text));
  list->text += "\n";
  return TRUE;
}

std::string VisibleWindows(DWORD pid) {
  WindowList list = {pid, std::string()};
  EnumWindows(AddTopWindow, reinterpret_cast<LPARAM>(&list));
  return list.text;
}

}  // namespace

ChildResult RunChild(const std::string& exe, const std::string& args, const std::string& folder, DWORD timeoutMs) {
  ChildResult result;
  SECURITY_ATTRIBUTES sa = {sizeof(sa), nullptr, TRUE};
  HANDLE readRaw = nullptr, writeRaw = nullptr;
  if (!CreatePipe(&readRaw, &writeRaw, &sa, 0)) return result;
  sv::Handle readEnd(readRaw), writeEnd(writeRaw);
  SetHandleInformation(readEnd.Get(), HANDLE_FLAG_INHERIT, 0);

  STARTUPINFOW si;
  memset(&si, 0, sizeof(si));
  si.cb = sizeof(si);
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = writeEnd.Get();
  si.hStdError = writeEnd.Get();
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION pi;
  std::wstring cmd = L"\"" + sv::Wide(exe) + L"\" " + sv::Wide(args);
  // A child that runs a child of its own stays a child for its later tests.
  const bool wasChild = InChild();
  SetEnvironmentVariableW(L"SV_TEST_CHILD", L"1");
  BOOL started = CreateProcessW(nullptr, &cmd[0], nullptr, nullptr, TRUE, 0, nullptr, sv::Wide(folder).c_str(), &si, &pi);
  if (!wasChild) SetEnvironmentVariableW(L"SV_TEST_CHILD", nullptr);
  writeEnd.Reset();  // the child holds the only write end now
  if (!started) return result;
  sv::Handle process(pi.hProcess), thread(pi.hThread);
  // Read on this thread until the child closes its end; the wait below bounds
  // a child that hangs with the pipe open.
  DWORD start = GetTickCount();
  char chunk[4096];
  for (;;) {
    DWORD avail = 0;
    if (!PeekNamedPipe(readEnd.Get(), nullptr, 0, nullptr, &avail, nullptr)) break;
    if (avail) {
      DWORD got = 0;
      if (!ReadFile(readEnd.Get(), chunk, sizeof chunk, &got, nullptr) || !got) break;
      result.output.append(chunk, got);
      continue;
    }
    if (WaitForSingleObject(process.Get(), 20) == WAIT_OBJECT_0) {
      // Drain what is left.
      while (PeekNamedPipe(readEnd.Get(), nullptr, 0, nullptr, &avail, nullptr) && avail) {
        DWORD got = 0;
        if (!ReadFile(readEnd.Get(), chunk, sizeof chunk, &got, nullptr) || !got) break;
        result.output.append(chunk, got);
      }
      break;
    }
    if (GetTickCount() - start > timeoutMs) {
      result.output += "\n[child still running after " + std::to_string(timeoutMs) + " ms; its windows:]\n" +
                       VisibleWindows(pi.dwProcessId);
      TerminateProcess(process.Get(), 99);
      break;
    }
  }
  WaitForSingleObject(process.Get(), 5000);
  GetExitCodeProcess(process.Get(), &result.exitCode);
  return result;
}
