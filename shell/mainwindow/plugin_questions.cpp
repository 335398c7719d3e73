#include "plugin_questions.h"

#include "wide.h"

namespace shell {

namespace {
std::string Quoted(const std::string& name) { return "\"" + name + "\""; }
}  // namespace

std::string RestartQuestion(const std::string& pluginName) {
  return sv::Ru(u8"Плагин ") + Quoted(pluginName) +
         sv::Ru(u8" не установлен!\rНужна перезагрузка программы.\r\rПерезагрузить программу сейчас?");
}

std::string NewVersionQuestion(const std::string& pluginName) {
  return sv::Ru(u8"Есть новая версия плагина ") + Quoted(pluginName) + sv::Ru(u8"\r\rЗакачать новую версию?");
}

std::string InstallQuestion(const std::string& pluginName) {
  return sv::Ru(u8"Плагин ") + Quoted(pluginName) + sv::Ru(u8" не установлен!\r\rУстановить?");
}

std::string UpdateFinishedQuestion(const std::string& jobName) {
  std::string rest = sv::Ru(
      u8" прошла успешно!\rДля завершения установки нужно перезагрузить программу Solvika.\r\r"
      u8"Перезагрузить программу сейчас?");
  if (jobName.empty()) return sv::Ru(u8"Загрузка обновлений") + rest;
  return sv::Ru(u8"Загрузка обновлений ") + Quoted(jobName) + rest;
}

}  // namespace shell
