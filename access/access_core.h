// The rules of the access control: one password (kept only as a digest), a
// protection status, and per-module flags on items and categories of items.
// Plain logic over two narrow interfaces, so that it is tested without the
// access file, the password window or the utility library.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pf {

// Protection status, stored as "Position".
enum Status : uint8_t { kProtectionOn = 1, kOffUntilRestart = 2, kProtectionOff = 3 };

// Results of a password prompt.
enum EnterResult : uint8_t { kGranted = 0, kWrongPassword = 1, kCancelled = 2 };

constexpr char kControlSection[] = "QZW";
constexpr char kPasswordKey[] = "Status";
constexpr char kStatusKey[] = "Position";
constexpr char kModuleKey[] = "Module";
constexpr char kCategoryKey[] = "Category";
constexpr char kCategoryPrefix[] = "+";
constexpr char kFlagSet[] = "1";

// The access file: a profile file of sections and keys, read and written at
// every call.
class AccessFile {
 public:
  virtual ~AccessFile() = default;
  virtual std::string Get(const std::string& section, const std::string& key) = 0;
  virtual void Set(const std::string& section, const std::string& key, const std::string& value) = 0;
  virtual void Remove(const std::string& section, const std::string& key) = 0;
  virtual void RemoveSection(const std::string& section) = 0;
  // Section names in file order.
  virtual std::vector<std::string> Sections() = 0;
  // The lines ("name=value") of a section as stored.
  virtual std::vector<std::string> Lines(const std::string& section) = 0;
};

// Everything else the rules need from the system.
class Services {
 public:
  virtual ~Services() = default;
  virtual std::string ToStored(const std::string& plain) = 0;  // lower-case hexadecimal of the bytes
  virtual std::string ToPlain(const std::string& stored) = 0;  // its inverse
  virtual std::string Md5Text(const std::string& text) = 0;    // 32 lower-case hexadecimal digits
  // "Category" of `item` in the module's description file (program folder +
  // section identifier); empty when missing.
  virtual std::string DescriptionCategory(const std::string& section_id, const std::string& item) = 0;
  // The password window; the single character of code 0 means cancelled.
  virtual std::string AskPassword(const std::string& prompt) = 0;
  virtual void ShowError(const std::string& text, const std::string& caption) = 0;
  // "Name" of section "*" + module in the main settings file; empty when missing.
  virtual std::string ModuleName(const std::string& module) = 0;
};

class AccessControl {
 public:
  AccessControl(AccessFile& file, Services& services) : file_(file), services_(services) {}

  void RegisterModule(const std::string& module, const std::string& section_id);
  void UnregisterModule(const std::string& section_id);
  uint8_t SetOrGetStatus(uint8_t status);
  uint8_t Exit();
  uint8_t Enter(const std::string& prompt);
  uint8_t EnterIfPassword(const std::string& prompt);
  bool GetAccess(const std::string& module, const std::string& item);
  void ChangePassword(const std::string& password);
  bool IsPasswordEmpty();
  bool GetFlag(const std::string& section_id, const std::string& item);
  void SetFlag(const std::string& section_id, const std::string& item, bool flag);
  std::string SectionText(const std::string& section_id);
  std::string SectionsText();
  std::string Caption(const std::string& module);
  int32_t GetParam(const std::string& key, int32_t def);
  void SetParam(const std::string& key, int32_t value);

 private:
  uint8_t StoredStatus();
  bool PasswordMatches(const std::string& candidate);
  uint8_t AskAndCheck(const std::string& prompt);
  std::vector<std::string> SectionsOfModule(const std::string& module);
  bool IsProtected(const std::vector<std::string>& section_ids, const std::string& name,
                   std::vector<std::string>& visited);
  std::string ModuleOfSection(const std::string& stored_section);

  AccessFile& file_;
  Services& services_;
};

// Texts the access control shows.
extern const char* const kAccessPrompt;        // "Введите пароль для доступа"
extern const char* const kWrongPasswordText;   // "Пароль не правильный!"
extern const char* const kAccessCaption;       // "Управление доступом"
extern const char* const kNoNameCaption;       // "<Без имени>"
extern const char* const kPluginsCaption;      // "Плагины программы"
constexpr char kPluginsModule[] = "Plugins";

}  // namespace pf
