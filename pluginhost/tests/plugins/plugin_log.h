// The test plugins write what the host made them do into "<library>.log"
// beside their library, one line per call, for the tests to read.
#pragma once

#include <windows.h>

#include <string>

#include "wide.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace testplugin {

inline HINSTANCE ThisModule() { return reinterpret_cast<HINSTANCE>(&__ImageBase); }

inline void Log(const std::string& line) {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(ThisModule(), path, MAX_PATH);
  std::wstring log = path;
  size_t dot = log.find_last_of(L'.');
  log = (dot == std::wstring::npos ? log : log.substr(0, dot)) + L".log";
  HANDLE file = CreateFileW(log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  std::string text = line + "\r\n";
  DWORD written = 0;
  WriteFile(file, text.data(), (DWORD)text.size(), &written, nullptr);
  CloseHandle(file);
}

}  // namespace testplugin
