#include "mainthread/reply_handling.h"

#include <windows.h>

#include "SolvikaUtils.h"
#include "debug_log.h"
#include "mainthread/configuration.h"
#include "mainthread/reply_parser.h"
#include "svstring.h"
#include "wide.h"

namespace svnet {

namespace {

// Programs from this version on update by starting themselves with
// "-update"; older ones start the old updaters of the program folder.
constexpr uint16_t kSelfUpdateVersion = 200;
constexpr char kSelfUpdateSwitch[] = "-update";
constexpr char kHideUpdateSwitch[] = "-hideupdate";
constexpr char kOldUpdater[] = "TovrinUpdate.exe";
constexpr char kOldPatcher[] = "MegaPatch.exe";

void Apply(const ReplyAction& a) {
  switch (a.kind) {
    case ReplyActionKind::kSetScriptHosts:
      StoreHosts(false, a.text);
      Log("Set script hosts: " + a.text);
      break;
    case ReplyActionKind::kSetSourceHosts:
      StoreHosts(true, a.text);
      Log("Set source hosts: " + a.text);
      break;
    case ReplyActionKind::kSetProgramId:
      SetProgramId(a.text.c_str());
      break;
    case ReplyActionKind::kWriteIni:
      SetIniString(a.section.c_str(), a.key.c_str(), a.value.c_str());
      break;
    case ReplyActionKind::kDeleteIni:
      DeleteIniValue(a.section.c_str(), a.key.empty() ? nullptr : a.key.c_str());
      break;
  }
}

// The update question, owned by the application window; true for Yes.
bool UserWantsUpdate() {
  const std::wstring text = sv::Wide(sv::Ru(u8"Найдена новая версия программы \"Solvika\"\rХотите обновить?"));
  const std::wstring caption = sv::Wide(sv::Ru(u8"Мастер обновлений"));
  return MessageBoxW(GetApplHandle(), text.c_str(), caption.c_str(), MB_YESNO | MB_ICONQUESTION | MB_TOPMOST) ==
         IDYES;
}

// The old path: "TovrinUpdate.exe", and "MegaPatch.exe" when SVShellExe
// reports false for the first start.
void StartOldUpdaters(bool hide) {
  SvStr dir = nullptr;
  GetCurrDir(&dir);
  const std::string folder = sv::Take(dir);
  const char* param = hide ? kHideUpdateSwitch : "";
  if (!SVShellExe((folder + kOldUpdater).c_str(), param)) {
    Log("--TovrinNet Run MegaPatch.exe");
    SVShellExe((folder + kOldPatcher).c_str(), param);
  }
}

void StartUpdate(uint16_t version, bool hide) {
  Log("--TovrinNet Run TovrinUpdate.exe");
  if (version >= kSelfUpdateVersion) SVShellExe("", kSelfUpdateSwitch);  // the running program itself
  else StartOldUpdaters(hide);
}

}  // namespace

void ProcessReply(const std::string& reply, uint16_t version) {
  Log("--TovrinNet main query done");
  const ServerReply parsed = ParseServerReply(reply);
  for (const ReplyAction& a : parsed.actions) Apply(a);
  SaveConfig();
  if (parsed.newestVersion <= version) return;
  Log("--TovrinNet is new version");
  if (!parsed.hide && !UserWantsUpdate()) return;
  StartUpdate(version, parsed.hide);
}

}  // namespace svnet
