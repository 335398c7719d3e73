#include "test_support.h"

#include <shellapi.h>

#include <atomic>

#include "wide.h"

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

static void RemoveTree(const std::wstring& dir) {
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((dir + L"*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = fd.cFileName;
      if (name == L"." || name == L"..") continue;
      std::wstring full = dir + name;
      SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveTree(full + L"\\");
      else
        DeleteFileW(full.c_str());
    } while (FindNextFileW(h, &fd));
    FindClose(h);
  }
  RemoveDirectoryW(dir.c_str());
}

ScratchDir::~ScratchDir() { RemoveTree(sv::Wide(path_)); }

std::string ReadFileBytes(const std::string& path) {
  HANDLE h = CreateFileW(sv::Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return std::string();
  std::string data;
  char buf[65536];
  DWORD got = 0;
  while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got > 0) data.append(buf, got);
  CloseHandle(h);
  return data;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
  HANDLE h = CreateFileW(sv::Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD put = 0;
  bool ok = WriteFile(h, bytes.data(), (DWORD)bytes.size(), &put, nullptr) && put == bytes.size();
  CloseHandle(h);
  return ok;
}
