#include "plugin_texts.h"

namespace plugins {

namespace {

// "(Без имени)"
constexpr char kNoName[] = "(\xC1\xE5\xE7 \xE8\xEC\xE5\xED\xE8)";
// "Плагин "
constexpr char kHeadStart[] = "\xCF\xEB\xE0\xE3\xE8\xED ";
// " не может быть запучен!" (the wording users know from earlier versions)
constexpr char kHeadEnd[] = " \xED\xE5 \xEC\xEE\xE6\xE5\xF2 \xE1\xFB\xF2\xFC \xE7\xE0\xEF\xF3\xF7\xE5\xED!";
// "Невозможно загрузить файл: "
constexpr char kCannotLoad[] =
    "\xCD\xE5\xE2\xEE\xE7\xEC\xEE\xE6\xED\xEE \xE7\xE0\xE3\xF0\xF3\xE7\xE8\xF2\xFC \xF4\xE0\xE9\xEB: ";
// "Не найдена точка входа в файле: "
constexpr char kNoEntryInFile[] =
    "\xCD\xE5 \xED\xE0\xE9\xE4\xE5\xED\xE0 \xF2\xEE\xF7\xEA\xE0 \xE2\xF5\xEE\xE4\xE0 \xE2 \xF4\xE0\xE9\xEB\xE5: ";
// "Невозможно запустить плагин!"
constexpr char kCannotStart[] =
    "\xCD\xE5\xE2\xEE\xE7\xEC\xEE\xE6\xED\xEE \xE7\xE0\xEF\xF3\xF1\xF2\xE8\xF2\xFC \xEF\xEB\xE0\xE3\xE8\xED!";
// "Не найдена библиотека: "
constexpr char kNoLibrary[] = "\xCD\xE5 \xED\xE0\xE9\xE4\xE5\xED\xE0 \xE1\xE8\xE1\xEB\xE8\xEE\xF2\xE5\xEA\xE0: ";
// "Невозможно подключить библиотеку: "
constexpr char kCannotAttach[] =
    "\xCD\xE5\xE2\xEE\xE7\xEC\xEE\xE6\xED\xEE \xEF\xEE\xE4\xEA\xEB\xFE\xF7\xE8\xF2\xFC "
    "\xE1\xE8\xE1\xEB\xE8\xEE\xF2\xE5\xEA\xF3: ";
// "Не найдена точка входа в библиотеке: "
constexpr char kNoEntryInLibrary[] =
    "\xCD\xE5 \xED\xE0\xE9\xE4\xE5\xED\xE0 \xF2\xEE\xF7\xEA\xE0 \xE2\xF5\xEE\xE4\xE0 \xE2 "
    "\xE1\xE8\xE1\xEB\xE8\xEE\xF2\xE5\xEA\xE5: ";
// "Возможно у Вас нет прав регистрации ActiveX компонентов"
constexpr char kNoRights[] =
    "\xC2\xEE\xE7\xEC\xEE\xE6\xED\xEE \xF3 \xC2\xE0\xF1 \xED\xE5\xF2 \xEF\xF0\xE0\xE2 "
    "\xF0\xE5\xE3\xE8\xF1\xF2\xF0\xE0\xF6\xE8\xE8 ActiveX \xEA\xEE\xEC\xEF\xEE\xED\xE5\xED\xF2\xEE\xE2";

constexpr char kActiveXEnding[] = ".ocx";
constexpr char kListedPrefix = '*';
// Lines of a box are separated by a single carriage return.
constexpr char kLineBreak = '\r';

std::string FailureHead(const std::string& display_name) {
  return std::string(kHeadStart) + '"' + display_name + '"' + kHeadEnd;
}

std::string CannotStart(const char* reason, const std::string& library) {
  return std::string(kCannotStart) + kLineBreak + reason + library;
}

}  // namespace

std::string DisplayName(const std::string& name_setting) { return name_setting.empty() ? kNoName : name_setting; }

bool IsActiveXLibrary(const std::string& library) {
  const std::string ending = kActiveXEnding;
  return library.size() >= ending.size() && library.compare(library.size() - ending.size(), ending.size(), ending) == 0;
}

std::string PluginId(const std::string& key) { return !key.empty() && key[0] == kListedPrefix ? key.substr(1) : key; }

std::string LoadFailureText(const std::string& display_name, const std::string& library) {
  return FailureHead(display_name) + kLineBreak + kCannotLoad + library;
}

std::string EntryPointFailureText(const std::string& display_name, const std::string& library) {
  return FailureHead(display_name) + kLineBreak + kNoEntryInFile + library;
}

std::string ActiveXMissingLibraryText(const std::string& library) { return CannotStart(kNoLibrary, library); }
std::string ActiveXLoadFailureText(const std::string& library) { return CannotStart(kCannotAttach, library); }
std::string ActiveXEntryPointText(const std::string& library) { return CannotStart(kNoEntryInLibrary, library); }
std::string ActiveXRegistrationText() { return CannotStart(kNoRights, ""); }

}  // namespace plugins
