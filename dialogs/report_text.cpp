#include "report_text.h"

#include "wide.h"

namespace dialogs {

namespace {
constexpr char kCrLf[] = "\r\n";
constexpr char kIndent[] = "        ";
}  // namespace

std::string SystemText(const SystemFacts& f) {
  std::string t;
  auto line = [&](const std::string& s) { t += s + kCrLf; };
  if (!f.activePlugin.empty()) line(sv::Ru(u8"Активный плагин: ") + f.activePlugin);
  line("");
  line(sv::Ru(u8"Служебная информация: "));
  line(sv::Ru(u8"Версия программы: ") + f.programVersion);
  line(sv::Ru(u8"Номер программы: ") + f.clientNumber);
  line(sv::Ru(u8"Операционная система: Windows ") + f.windowsVersion + " (Build " + f.windowsBuild + "; " +
       f.servicePack + ")");
  line("Internet Explorer: " + f.browserVersion);
  line(sv::Ru(u8"Папка программы: ") + f.programFolder);
  line(sv::Ru(u8"Запущенные плагины: "));
  for (const std::string& caption : f.runningPlugins) line(kIndent + caption);
  line(sv::Ru(u8"Плагины: "));
  for (const auto& p : f.plugins) line(kIndent + p.first + " (" + p.second + ")");
  line(sv::Ru(u8"Библиотеки программы: "));
  for (const auto& l : f.libraries) line(kIndent + l.first + " (" + std::to_string(l.second) + ")");
  t += std::string(kIndent) + "PatchKeeper.svx (" + std::to_string(f.patchKeeperVersion) + ")";
  return t;
}

std::string ErrorLogText(const std::string& systemText, const std::string& header, const std::string& details) {
  std::string t = systemText;
  if (!header.empty()) t = sv::Ru(u8"Ошибка:") + kCrLf + header + kCrLf + kCrLf + t;
  if (!details.empty()) t += std::string(kCrLf) + "Debug Information:" + kCrLf + details;
  return t;
}

std::string ReportPath(ReportMode mode, const std::string& clientId, const std::string& email, const std::string& icq) {
  static const char* const kActions[] = {"senderror", "sendmsg", "paysupport"};
  return std::string("client/solvika.php?action=") + kActions[mode] + "&stat=" + clientId + "&email=" + email +
         "&icq=" + icq;
}

}  // namespace dialogs
