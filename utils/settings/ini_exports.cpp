// INI exports: "Tovrin.ini" in the program folder and any file named by path.
#include <windows.h>

#include "decimal.h"
#include "guard.h"
#include "ini_file.h"
#include "state.h"
#include "svstring.h"
#include "wide.h"
#include "SolvikaUtils.h"

namespace utils {
namespace {

// Values are cut where the platform's 65535-byte read buffer would cut them.
const size_t kMaxValue = 65534;

std::string CutValue(std::string_view v) {
  v = v.substr(0, std::min(v.find('\0'), kMaxValue));
  return std::string(v);
}

std::string ReadString(std::string_view file, const char* section, const char* key, const char* def) {
  IniText text("");
  std::string value;
  if (ReadIniFile(std::string(file), &text) && text.Find(sv::Text(section), sv::Text(key), &value))
    return CutValue(value);
  return CutValue(sv::Text(def));
}

// Decimal text with optional blanks and sign; no digits gives 0, an empty or
// missing value the default, as the platform's profile integer read does.
int32_t ReadInt(std::string_view file, const char* section, const char* key, int32_t def) {
  IniText text("");
  std::string value;
  if (!ReadIniFile(std::string(file), &text) || !text.Find(sv::Text(section), sv::Text(key), &value) ||
      value.empty())
    return def;
  return (int32_t)sv::ParseDecimal(value);
}

std::string SectionList(std::string_view file) {
  IniText text("");
  ReadIniFile(std::string(file), &text);
  std::string joined;
  size_t count = 0;  // characters before the list's final zero
  for (const std::string& name : text.SectionNames()) {
    if (count + name.size() + 1 > 65534) break;
    if (!joined.empty() || count) joined += '/';
    joined += name;
    count += name.size() + 1;
  }
  return count < 3 ? std::string() : joined;
}

bool WriteString(std::string_view file, const char* section, const char* key, std::string_view value) {
  return EditIniFile(std::string(file), [&](IniText& text) {
    text.Set(sv::Text(section), sv::Text(key), value);
    return true;
  });
}

bool DeleteValue(std::string_view file, const char* section, const char* key) {
  return EditIniFile(std::string(file), [&](IniText& text) {
    if (sv::Text(key).empty()) return text.DeleteSection(sv::Text(section));
    return text.DeleteKey(sv::Text(section), sv::Text(key));
  });
}

// Custom writes first make the file writable: archive attribute only.
void MakeWritable(const char* file) {
  if (file && *file) SetFileAttributesW(sv::Wide(file).c_str(), FILE_ATTRIBUTE_ARCHIVE);
}

}  // namespace
}  // namespace utils

using namespace utils;

SVU_API int32_t SVAPI GetIniInt(const char* section, const char* key, int32_t def) {
  return sv::Guard<int32_t>(def, [&] { return ReadInt(MainIniPath(), section, key, def); });
}

SVU_API void SVAPI GetIniString(SvStr* out, const char* section, const char* key, const char* def) {
  sv::GuardVoid([&] { sv::PutStr(out, ReadString(MainIniPath(), section, key, def)); });
}

SVU_API void SVAPI GetIniSectNames(SvStr* out) {
  sv::GuardVoid([&] { sv::PutStr(out, SectionList(MainIniPath())); });
}

SVU_API void SVAPI SetIniInt(const char* section, const char* key, int32_t value) {
  sv::GuardVoid([&] { WriteString(MainIniPath(), section, key, std::to_string(value)); });
}

SVU_API void SVAPI SetIniString(const char* section, const char* key, const char* value) {
  sv::GuardVoid([&] { WriteString(MainIniPath(), section, key, sv::Text(value)); });
}

SVU_API void SVAPI DeleteIniValue(const char* section, const char* key) {
  sv::GuardVoid([&] { DeleteValue(MainIniPath(), section, key); });
}

SVU_API int32_t SVAPI GetCustomIniInt(const char* section, const char* key, const char* file, int32_t def) {
  return sv::Guard<int32_t>(def, [&] { return ReadInt(sv::Text(file), section, key, def); });
}

SVU_API void SVAPI GetCustomIniString(SvStr* out, const char* section, const char* key, const char* file,
                                        const char* def) {
  sv::GuardVoid([&] { sv::PutStr(out, ReadString(sv::Text(file), section, key, def)); });
}

SVU_API void SVAPI GetCustomIniSectNames(SvStr* out, const char* file) {
  sv::GuardVoid([&] { sv::PutStr(out, SectionList(sv::Text(file))); });
}

SVU_API void SVAPI SetCustomIniInt(const char* section, const char* key, int32_t value, const char* file) {
  sv::GuardVoid([&] {
    MakeWritable(file);
    WriteString(sv::Text(file), section, key, std::to_string(value));
  });
}

SVU_API int32_t SVAPI SetCustomIniString(const char* section, const char* key, const char* value, const char* file) {
  return sv::Guard<int32_t>(0, [&] {
    MakeWritable(file);
    return WriteString(sv::Text(file), section, key, sv::Text(value)) ? 1 : 0;
  });
}

SVU_API int32_t SVAPI DeleteCustomIniValue(const char* section, const char* key, const char* file) {
  return sv::Guard<int32_t>(0, [&] {
    MakeWritable(file);
    return DeleteValue(sv::Text(file), section, key) ? 1 : 0;
  });
}
