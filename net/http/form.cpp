#include "form.h"

#include <windows.h>

#include <cstdio>

#include "wide.h"
#include "win_handles.h"

namespace svnet {

namespace {

constexpr DWORD kReadChunk = 64 * 1024;
constexpr LONG kCounterDigitsMask = 0xFFFF;  // four hexadecimal digits of the counter

}  // namespace

Form::Form() {
  static volatile LONG counter = 0;
  char text[64];
  std::snprintf(text, sizeof text, "--------SvFormBoundary%08lX%08lX%04lX", (unsigned long)GetTickCount(),
                (unsigned long)GetCurrentThreadId(), (unsigned long)(InterlockedIncrement(&counter) & kCounterDigitsMask));
  boundary_ = text;
}

void Form::AddField(const std::string& name, const std::string& value) {
  parts_.push_back(Part{name, std::string(), value, false});
}

void Form::AddFileContent(const std::string& field, const std::string& fileName, std::string content) {
  parts_.push_back(Part{field, fileName, std::move(content), true});
}

bool Form::AddFile(const std::string& field, const std::string& path) {
  std::string content;
  {
    sv::FileHandle file(CreateFileW(sv::Wide(path).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) return false;
    char buf[kReadChunk];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ReadFile(file.Get(), buf, sizeof buf, &got, nullptr) != 0) && got > 0) content.append(buf, got);
    if (!ok) return false;
  }
  size_t slash = path.find_last_of("\\/");
  AddFileContent(field, slash == std::string::npos ? path : path.substr(slash + 1), std::move(content));
  return true;
}

std::string Form::Body() const {
  std::string body;
  for (const Part& p : parts_) {
    body += "--" + boundary_ + "\r\n";
    body += "Content-Disposition: form-data; name=\"" + p.name + "\"";
    if (p.isFile) body += "; filename=\"" + p.fileName + "\"";
    body += "\r\n\r\n";
    body += p.content;
    body += "\r\n";
  }
  body += "--" + boundary_ + "--\r\n";
  return body;
}

}  // namespace svnet
