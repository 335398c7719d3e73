#include "access_core.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace pf {

// Windows-1251 bytes; the text each stands for is in the comment beside it.
const char* const kAccessPrompt = "\xc2\xe2\xe5\xe4\xe8\xf2\xe5 \xef\xe0\xf0\xee\xeb\xfc \xe4\xeb\xff \xe4\xee\xf1\xf2\xf3\xef\xe0";  // Введите пароль для доступа
const char* const kWrongPasswordText = "\xcf\xe0\xf0\xee\xeb\xfc \xed\xe5 \xef\xf0\xe0\xe2\xe8\xeb\xfc\xed\xfb\xe9!";  // Пароль не правильный!
const char* const kAccessCaption = "\xd3\xef\xf0\xe0\xe2\xeb\xe5\xed\xe8\xe5 \xe4\xee\xf1\xf2\xf3\xef\xee\xec";  // Управление доступом
const char* const kNoNameCaption = "<\xc1\xe5\xe7 \xe8\xec\xe5\xed\xe8>";  // <Без имени>
const char* const kPluginsCaption = "\xcf\xeb\xe0\xe3\xe8\xed\xfb \xef\xf0\xee\xe3\xf0\xe0\xec\xec\xfb";  // Плагины программы

namespace {

// The one-character answer of a cancelled password window.
bool IsCancelMark(const std::string& answer) { return answer.size() == 1 && answer[0] == '\0'; }

int32_t ParseInt(const std::string& text, int32_t def) {
  if (text.empty()) return def;
  char* end = nullptr;
  long value = std::strtol(text.c_str(), &end, 10);
  return (end && *end == '\0') ? (int32_t)value : def;
}

// The deepest chain of categories followed; a chain that comes back to a
// category already visited ends earlier, with "not protected".
constexpr size_t kMaxCategoryDepth = 64;

// A section's listing counts only from three characters of content on
// (shorter cannot hold even "a=1").
constexpr size_t kMinSectionContent = 3;

// The control section, whose name the profile functions match without regard
// to case, is not a module section.
bool IsControlSection(const std::string& name) {
  if (name.size() != sizeof(kControlSection) - 1) return false;
  for (size_t i = 0; i < name.size(); ++i) {
    if (std::toupper((unsigned char)name[i]) != kControlSection[i]) return false;
  }
  return true;
}

}  // namespace

void AccessControl::RegisterModule(const std::string& module, const std::string& section_id) {
  file_.Set(services_.ToStored(section_id), services_.ToStored(kModuleKey), services_.ToStored(module));
}

void AccessControl::UnregisterModule(const std::string& section_id) { file_.RemoveSection(services_.ToStored(section_id)); }

uint8_t AccessControl::StoredStatus() {
  int32_t status = ParseInt(file_.Get(kControlSection, kStatusKey), kProtectionOff);
  return (status >= kProtectionOn && status <= kProtectionOff) ? (uint8_t)status : (uint8_t)kProtectionOff;
}

uint8_t AccessControl::SetOrGetStatus(uint8_t status) {
  if (status >= kProtectionOn && status <= kProtectionOff) {
    file_.Set(kControlSection, kStatusKey, std::to_string(status));
    return status;
  }
  return StoredStatus();
}

uint8_t AccessControl::Exit() {
  uint8_t status = StoredStatus();
  if (status != kOffUntilRestart) return status;
  return SetOrGetStatus(kProtectionOn);
}

bool AccessControl::PasswordMatches(const std::string& candidate) {
  std::string stored = file_.Get(kControlSection, kPasswordKey);
  if (stored.empty()) return candidate.empty();
  return services_.Md5Text(candidate) == services_.ToPlain(stored);
}

uint8_t AccessControl::AskAndCheck(const std::string& prompt) {
  std::string answer = services_.AskPassword(prompt);
  if (IsCancelMark(answer)) return kCancelled;
  return PasswordMatches(answer) ? kGranted : kWrongPassword;
}

uint8_t AccessControl::Enter(const std::string& prompt) {
  if (StoredStatus() != kProtectionOn) return kGranted;
  return AskAndCheck(prompt);
}

uint8_t AccessControl::EnterIfPassword(const std::string& prompt) {
  if (PasswordMatches("")) return kGranted;
  return AskAndCheck(prompt);
}

std::string AccessControl::ModuleOfSection(const std::string& stored_section) {
  return services_.ToPlain(file_.Get(stored_section, services_.ToStored(kModuleKey)));
}

std::vector<std::string> AccessControl::SectionsOfModule(const std::string& module) {
  std::vector<std::string> ids;
  for (const std::string& stored : file_.Sections()) {
    if (IsControlSection(stored)) continue;
    if (ModuleOfSection(stored) == module) ids.push_back(services_.ToPlain(stored));
  }
  return ids;
}

bool AccessControl::IsProtected(const std::vector<std::string>& section_ids, const std::string& name,
                                std::vector<std::string>& visited) {
  for (const std::string& id : section_ids) {
    if (GetFlag(id, name)) return true;
  }
  for (const std::string& id : section_ids) {
    std::string category = services_.DescriptionCategory(id, name);
    if (category.empty()) continue;
    std::string next = kCategoryPrefix + category;
    std::string mark = id + '\t' + next;
    if (visited.size() >= kMaxCategoryDepth || std::find(visited.begin(), visited.end(), mark) != visited.end()) {
      return false;
    }
    visited.push_back(mark);
    return IsProtected({id}, next, visited);
  }
  return false;
}

bool AccessControl::GetAccess(const std::string& module, const std::string& item) {
  if (StoredStatus() != kProtectionOn) return true;
  std::vector<std::string> visited;
  if (!IsProtected(SectionsOfModule(module), item, visited)) return true;
  switch (Enter(kAccessPrompt)) {
    case kGranted:
      return true;
    case kWrongPassword:
      services_.ShowError(kWrongPasswordText, kAccessCaption);
      return false;
    default:
      return false;
  }
}

void AccessControl::ChangePassword(const std::string& password) {
  file_.Set(kControlSection, kPasswordKey, services_.ToStored(services_.Md5Text(password)));
}

bool AccessControl::IsPasswordEmpty() { return PasswordMatches(""); }

bool AccessControl::GetFlag(const std::string& section_id, const std::string& item) {
  return file_.Get(services_.ToStored(section_id), services_.ToStored(item)) == kFlagSet;
}

void AccessControl::SetFlag(const std::string& section_id, const std::string& item, bool flag) {
  std::string section = services_.ToStored(section_id), key = services_.ToStored(item);
  if (flag) {
    file_.Set(section, key, kFlagSet);
  } else {
    file_.Remove(section, key);
  }
}

std::string AccessControl::SectionText(const std::string& section_id) {
  std::vector<std::string> lines = file_.Lines(services_.ToStored(section_id));
  std::string text;
  size_t content = 0;
  for (const std::string& line : lines) {
    if (!text.empty()) text += '\t';
    text += line;
    content += line.size() + 1;  // each line with its terminating zero, as the platform lists them
  }
  return content < kMinSectionContent ? std::string() : text;
}

std::string AccessControl::SectionsText() {
  std::string text;
  for (const std::string& stored : file_.Sections()) {
    if (IsControlSection(stored)) continue;
    text += services_.ToPlain(stored) + "/" + ModuleOfSection(stored) + "\t";
  }
  return text;
}

std::string AccessControl::Caption(const std::string& module) {
  if (module.empty()) return kNoNameCaption;
  if (module == kPluginsModule) return kPluginsCaption;
  std::string name = services_.ModuleName(module);
  return name.empty() ? std::string(kNoNameCaption) : name;
}

int32_t AccessControl::GetParam(const std::string& key, int32_t def) {
  return ParseInt(file_.Get(kControlSection, key), def);
}

void AccessControl::SetParam(const std::string& key, int32_t value) {
  file_.Set(kControlSection, key, std::to_string(value));
}

}  // namespace pf
