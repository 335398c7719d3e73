// The plugin's section in "Tovrin.ini" and the values it registers.
#pragma once

#include <stdint.h>

namespace lexikon {

constexpr int32_t kModuleVersion = 202;
constexpr char kPluginSection[] = "*Lexikon";
constexpr char kLibraryName[] = "Lexikon.svx";
constexpr char kLibraryKey[] = "Library";
constexpr char kVersionKey[] = "Version";
constexpr char kNameKey[] = "Name";
constexpr char kSectionKey[] = "Section";
// "Словарь Лекса" and "Словари" in Windows-1251.
constexpr char kDefaultName[] = "\xD1\xEB\xEE\xE2\xE0\xF0\xFC \xCB\xE5\xEA\xF1\xE0";
constexpr char kDefaultSection[] = "\xD1\xEB\xEE\xE2\xE0\xF0\xE8";

}  // namespace lexikon
