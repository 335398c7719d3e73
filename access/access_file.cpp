#include "access_file.h"

#include <windows.h>

#include "wide.h"

namespace pf {

namespace {

constexpr DWORD kFirstBuffer = 1024;
constexpr DWORD kSectionBuffer = 32767;  // the platform's limit for one section's listing

// Splits a list of zero-terminated texts ending with an empty one.
std::vector<std::string> SplitZeroList(const wchar_t* list, DWORD length) {
  std::vector<std::string> items;
  const wchar_t* p = list;
  while (p < list + length && *p) {
    std::wstring_view item(p);
    items.push_back(sv::Narrow(item));
    p += item.size() + 1;
  }
  return items;
}

}  // namespace

ProfileAccessFile::ProfileAccessFile() {
  wchar_t folder[MAX_PATH] = {};
  UINT n = GetWindowsDirectoryW(folder, MAX_PATH);
  path_.assign(folder, n);
  if (!path_.empty() && path_.back() != L'\\') path_ += L'\\';
  path_ += sv::Wide(kAccessFileName);
}

std::string ProfileAccessFile::Get(const std::string& section, const std::string& key) {
  std::wstring s = sv::Wide(section), k = sv::Wide(key);
  for (DWORD size = kFirstBuffer;; size *= 2) {
    std::wstring buffer(size, L'\0');
    DWORD got = GetPrivateProfileStringW(s.c_str(), k.c_str(), L"", &buffer[0], size, path_.c_str());
    if (got < size - 1) return sv::Narrow(std::wstring_view(buffer.data(), got));
  }
}

void ProfileAccessFile::Set(const std::string& section, const std::string& key, const std::string& value) {
  WritePrivateProfileStringW(sv::Wide(section).c_str(), sv::Wide(key).c_str(), sv::Wide(value).c_str(), path_.c_str());
}

void ProfileAccessFile::Remove(const std::string& section, const std::string& key) {
  WritePrivateProfileStringW(sv::Wide(section).c_str(), sv::Wide(key).c_str(), nullptr, path_.c_str());
}

void ProfileAccessFile::RemoveSection(const std::string& section) {
  WritePrivateProfileStringW(sv::Wide(section).c_str(), nullptr, nullptr, path_.c_str());
}

std::vector<std::string> ProfileAccessFile::Sections() {
  for (DWORD size = kFirstBuffer;; size *= 2) {
    std::wstring buffer(size, L'\0');
    DWORD got = GetPrivateProfileSectionNamesW(&buffer[0], size, path_.c_str());
    if (got < size - 2) return SplitZeroList(buffer.data(), got);
  }
}

std::vector<std::string> ProfileAccessFile::Lines(const std::string& section) {
  std::wstring buffer(kSectionBuffer, L'\0');
  DWORD got = GetPrivateProfileSectionW(sv::Wide(section).c_str(), &buffer[0], kSectionBuffer, path_.c_str());
  return SplitZeroList(buffer.data(), got);
}

}  // namespace pf
