// The client identifier and client number of this installation.
//
// Both persist in the local state file "SolvikaLC.ini" of the program folder,
// section "Client", keys "Id" and "Num": the identifier is given by the server
// (the network engine calls SetProgramId when a reply carries one), the number
// is set through SetProgramNum by whoever registers the installation. They are
// read once when the library loads and written through at every change, so a
// value set in one run is there in the next. A missing number reads "none".
#include <windows.h>

#include "guard.h"
#include "ini_file.h"
#include "load_steps.h"
#include "state.h"
#include "svstring.h"
#include "win_handles.h"
#include "SolvikaUtils.h"

namespace utils {
namespace {

const char kSection[] = "Client";
const char kIdKey[] = "Id";
const char kNumKey[] = "Num";
const char kNoNumber[] = "none";

struct Identity {
  sv::CriticalSection lock;
  std::string id;
  std::string num;
};

Identity& TheIdentity() {
  static Identity identity;
  return identity;
}

std::string LocalStatePath() { return State().programDir + "SolvikaLC.ini"; }

void Store(const char* key, const std::string& value) {
  EditIniFile(LocalStatePath(), [&](IniText& text) {
    if (value.empty()) return text.DeleteKey(kSection, key);
    text.Set(kSection, key, value);
    return true;
  });
}

// Values are single INI lines: a line break would end the value early.
std::string OneLine(const char* text) {
  std::string value(sv::Text(text));
  size_t cut = value.find_first_of("\r\n");
  if (cut != std::string::npos) value.resize(cut);
  return value;
}

}  // namespace

void LoadClientIdentity() {
  Identity& identity = TheIdentity();
  IniText text("");
  if (State().programDir.empty() || !ReadIniFile(LocalStatePath(), &text)) return;
  sv::Lock lock(identity.lock);
  text.Find(kSection, kIdKey, &identity.id);
  text.Find(kSection, kNumKey, &identity.num);
}

}  // namespace utils

using namespace utils;

SVU_API void SVAPI GetProgramId(SvStr* out) {
  sv::GuardVoid([&] {
    Identity& identity = TheIdentity();
    sv::Lock lock(identity.lock);
    sv::PutStr(out, identity.id);
  });
}

SVU_API void SVAPI GetProgramNum(SvStr* out) {
  sv::GuardVoid([&] {
    Identity& identity = TheIdentity();
    sv::Lock lock(identity.lock);
    sv::PutStr(out, identity.num.empty() ? std::string(kNoNumber) : identity.num);
  });
}

SVU_API void SVAPI SetProgramId(const char* id) {
  sv::GuardVoid([&] {
    Identity& identity = TheIdentity();
    sv::Lock lock(identity.lock);
    identity.id = OneLine(id);
    Store(kIdKey, identity.id);
  });
}

SVU_API void SVAPI SetProgramNum(const char* num) {
  sv::GuardVoid([&] {
    Identity& identity = TheIdentity();
    sv::Lock lock(identity.lock);
    identity.num = OneLine(num);
    Store(kNumKey, identity.num);
  });
}
